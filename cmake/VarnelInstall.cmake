# `cmake --install` and the Debian package: the two programs, the icon, the desktop entry and the library
# template. An installed program has no library beside it; at first start it copies the template into the
# user's data folder and keeps its library there.
include(GNUInstallDirs)

set(VARNEL_TITLE "VarnelJS分析提取分解器")
set(VARNEL_DESCRIPTION "分析CSS文件的最佳工具！")

# The programs' own shared libraries and the browser engine plugin go into a private library folder,
# which the programs find relative to themselves (the plugin through BrowserEngineLoader).
set(varnel_programs varneljs)
if(TARGET varneljs-cli)
  list(APPEND varnel_programs varneljs-cli)
endif()
set_target_properties(${varnel_programs} PROPERTIES INSTALL_RPATH "$ORIGIN/${VARNEL_PRIVATE_LIBDIR_FROM_BIN}")
install(TARGETS ${varnel_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
get_property(varnel_shared_libraries GLOBAL PROPERTY VARNEL_SHARED_LIBRARIES)
install(TARGETS ${varnel_shared_libraries} LIBRARY DESTINATION ${VARNEL_PRIVATE_LIBDIR} NAMELINK_SKIP)
if(TARGET varneljs_browser)
  install(TARGETS varneljs_browser LIBRARY DESTINATION ${VARNEL_PRIVATE_LIBDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/data/varneljs.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
if(VARNEL_LIBRARY_FILE)
  install(FILES ${VARNEL_LIBRARY_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/varneljs)
endif()
# Under the same relative path as the entry the program writes for the user at start-up, so the user's
# copy takes its place in the menu instead of standing beside it.
configure_file(${PROJECT_SOURCE_DIR}/data/varneljs.desktop.in ${CMAKE_BINARY_DIR}/varneljs.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/varneljs.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/Varnel软件
        RENAME ${VARNEL_TITLE}.desktop)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/varneljs)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varneljs)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Varnel软件")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${VARNEL_TITLE}: collects and examines the JavaScript of web pages")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Varnel软件 <support@varnel.com>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The private libraries are the package's own: dpkg-shlibdeps finds them in the build folder.
foreach(lib ${varnel_shared_libraries})
  get_target_property(lib_dir ${lib} BINARY_DIR)
  list(APPEND CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${lib_dir})
endforeach()
# Loaded at run time, so the library scan cannot see them: the SVG plugin for the icon, Qt's Chinese
# texts, and the fonts of the panes.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-translations-l10n, fonts-noto-cjk")
include(CPack)
