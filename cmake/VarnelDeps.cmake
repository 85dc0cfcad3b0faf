# Third-party dependencies, all from Debian packages (scripts/install-deps).
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets Network Concurrent Test PrintSupport)
find_package(PkgConfig REQUIRED)
pkg_check_modules(GUMBO REQUIRED IMPORTED_TARGET gumbo)
pkg_check_modules(SQLCIPHER REQUIRED IMPORTED_TARGET sqlcipher)
pkg_check_modules(UCHARDET REQUIRED IMPORTED_TARGET uchardet)
pkg_check_modules(HTTPLIB IMPORTED_TARGET cpp-httplib)
find_package(benchmark QUIET)

# QScintilla for Qt 6 ships no CMake package; find it by hand.
find_path(QSCINTILLA_INCLUDE_DIR Qsci/qsciscintilla.h
          PATHS /usr/include/x86_64-linux-gnu/qt6 /usr/include/qt6 ${Qt6_DIR}/../../../../include/qt6)
find_library(QSCINTILLA_LIBRARY NAMES qscintilla2_qt6)
if(NOT QSCINTILLA_INCLUDE_DIR OR NOT QSCINTILLA_LIBRARY)
  message(FATAL_ERROR "QScintilla for Qt 6 not found (package libqscintilla2-qt6-dev)")
endif()
add_library(Varnel::QScintilla INTERFACE IMPORTED)
target_include_directories(Varnel::QScintilla INTERFACE ${QSCINTILLA_INCLUDE_DIR})
target_link_libraries(Varnel::QScintilla INTERFACE ${QSCINTILLA_LIBRARY} Qt6::Widgets Qt6::PrintSupport)

# tree-sitter's runtime from Debian; the JavaScript grammar from the npm package that scripts/install-deps
# unpacks into the user's cache folder (never into the source tree). Its generated C is built here.
pkg_check_modules(TREE_SITTER REQUIRED IMPORTED_TARGET tree-sitter)
if(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
  set(varnel_cache_home "$ENV{XDG_CACHE_HOME}")
else()
  set(varnel_cache_home "$ENV{HOME}/.cache")
endif()
set(VARNEL_TS_JAVASCRIPT_DIR "${varnel_cache_home}/varneljs/tree-sitter-javascript-0.23.1"
    CACHE PATH "Unpacked npm package tree-sitter-javascript (scripts/install-deps fetches it)")
if(NOT EXISTS "${VARNEL_TS_JAVASCRIPT_DIR}/src/parser.c" OR NOT EXISTS "${VARNEL_TS_JAVASCRIPT_DIR}/src/scanner.c")
  message(FATAL_ERROR "tree-sitter-javascript not found in ${VARNEL_TS_JAVASCRIPT_DIR}: run scripts/install-deps")
endif()
add_library(varnel_ts_javascript STATIC
            ${VARNEL_TS_JAVASCRIPT_DIR}/src/parser.c ${VARNEL_TS_JAVASCRIPT_DIR}/src/scanner.c)
target_include_directories(varnel_ts_javascript PRIVATE ${VARNEL_TS_JAVASCRIPT_DIR}/src)
# Generated third-party code: its warnings are not ours to fix, and it is optimised in every build so the
# tests and the debug program parse at the speed of the real one.
target_compile_options(varnel_ts_javascript PRIVATE -w -O2)
set_target_properties(varnel_ts_javascript PROPERTIES C_STANDARD 11 POSITION_INDEPENDENT_CODE ON)
target_link_libraries(varnel_ts_javascript PUBLIC PkgConfig::TREE_SITTER)

# The browser page engine; without it the program has the static engine only.
find_package(Qt6 6.4 QUIET COMPONENTS WebEngineCore)
