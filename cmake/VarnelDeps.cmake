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
# The browser page engine; without it the program has the static engine only.
find_package(Qt6 6.4 QUIET COMPONENTS WebEngineCore)
