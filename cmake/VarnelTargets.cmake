include(GNUInstallDirs)
# Where an installation keeps its private shared libraries and the browser engine plugin, and the way
# there from the programs' folder (the programs find both relative to themselves).
set(VARNEL_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/varneljs)
file(RELATIVE_PATH VARNEL_PRIVATE_LIBDIR_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${VARNEL_PRIVATE_LIBDIR})

# varnel_library(<folder> [DEPS ...]) builds src/<folder>/*.cpp into the static library varnel_<folder>.
# Files under src/<folder>/ui/ (widgets) go into varnel_<folder>_ui, so code without widgets links no QtWidgets.
# varnel_library(<folder> ... UI_DEPS ...) lists what the ui part needs besides varnel_<folder>.
# varnel_library(<folder> SHARED ...) makes varnel_<folder> a shared library instead: one copy of its code
# and state for the programs and the browser engine plugin they load.
# varnel_library(<folder> PARTS a b ...) takes the non-widget sources of the subfolders a, b, ... too (a
# folder split by concern that is still one library).
function(varnel_library folder)
  cmake_parse_arguments(ARG "SHARED" "" "DEPS;UI_DEPS;PARTS" ${ARGN})
  set(kind STATIC)
  if(ARG_SHARED)
    set(kind SHARED)
  endif()
  file(GLOB core_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(part ${ARG_PARTS})
    file(GLOB part_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${part}/*.cpp
         ${CMAKE_CURRENT_SOURCE_DIR}/${part}/*.h)
    list(APPEND core_sources ${part_sources})
  endforeach()
  file(GLOB ui_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.h)
  add_library(varnel_${folder} ${kind} ${core_sources})
  if(ARG_SHARED)
    # Installed into the private library folder; the other shared libraries there are found beside it.
    set_target_properties(varnel_${folder} PROPERTIES INSTALL_RPATH "$ORIGIN")
    set_property(GLOBAL APPEND PROPERTY VARNEL_SHARED_LIBRARIES varnel_${folder})
  endif()
  target_include_directories(varnel_${folder} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(varnel_${folder} PUBLIC Qt6::Core ${ARG_DEPS})
  if(ui_sources)
    add_library(varnel_${folder}_ui STATIC ${ui_sources})
    target_include_directories(varnel_${folder}_ui PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(varnel_${folder}_ui PUBLIC varnel_${folder} Qt6::Widgets ${ARG_UI_DEPS})
  endif()
endfunction()

# varnel_test(<name> SOURCES ... LIBS ...) adds a Qt Test executable and registers it with CTest.
# Tests run headless and in test-mode standard paths (see tests/support/TestEnv.h).
function(varnel_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE varnel_testsupport Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    TIMEOUT 600)
endfunction()

# varnel_test_runs_browser_engine(<name>): the test runs the browser engine (itself or in a child
# process). The engine's library mismatches new and delete while a page is torn down, and keeps a few
# allocations for its lifetime; neither is this program's, so those two reports are switched off for it.
function(varnel_test_runs_browser_engine name)
  set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
    "ASAN_OPTIONS=detect_leaks=1:new_delete_type_mismatch=0"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/platform/browser.lsan:print_suppressions=0")
endfunction()

# varnel_bench(<name> SOURCES ... LIBS ...) adds a Google Benchmark program (never a test).
function(varnel_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${ARG_LIBS})
endfunction()
