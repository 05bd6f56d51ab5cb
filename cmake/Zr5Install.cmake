# What `cmake --install` puts where, and the Debian package CPack builds from it.
include(GNUInstallDirs)

set(ZR5_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/zephyrant2)
set(ZR5_APP_ID org.orlemont.Zephyrant2)
set(ZR5_ICON_NAME zephyrant2)
set(ZR5_ICON_SIZES 16 22 24 32 48 64 128 256)

# Installed programs find the library in ../lib, wherever the tree is
# unpacked; the Debian package drops that path (Zr5DebianRpath.cmake).
set(ZR5_PROGRAMS zr5run zr5patrol)
if(ZR5_WITH_GUI)
  list(APPEND ZR5_PROGRAMS zr5a zr5skin-tool)
endif()
set_target_properties(${ZR5_PROGRAMS} PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
install(TARGETS ${ZR5_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The engine: a versioned shared library, its one public header and a
# relocatable pkg-config file.
set_target_properties(zr5script PROPERTIES
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
  PUBLIC_HEADER ${CMAKE_SOURCE_DIR}/engine/api/zr5script.h)
install(TARGETS zr5script
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
file(RELATIVE_PATH ZR5_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
configure_file(${CMAKE_SOURCE_DIR}/cmake/zr5script.pc.in ${CMAKE_BINARY_DIR}/generated/zr5script.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/generated/zr5script.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Scripts, skins and help, copied into each user's home folder on first use.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${ZR5_DATA_DESTINATION})

# Desktop integration: menu entry, AppStream metainfo, icons, manual pages.
if(ZR5_WITH_GUI)
  install(FILES ${CMAKE_SOURCE_DIR}/app/res/zr5a.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/app/res/${ZR5_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(icon_script ${CMAKE_SOURCE_DIR}/app/res/make_icon.py)
  set(icon_root ${CMAKE_BINARY_DIR}/icons/hicolor)
  set(icons ${icon_root}/scalable/apps/${ZR5_ICON_NAME}.svg)
  add_custom_command(OUTPUT ${icon_root}/scalable/apps/${ZR5_ICON_NAME}.svg
    COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_root}/scalable/apps
    COMMAND Python3::Interpreter ${icon_script} --svg ${icon_root}/scalable/apps/${ZR5_ICON_NAME}.svg
    DEPENDS ${icon_script} VERBATIM)
  foreach(size IN LISTS ZR5_ICON_SIZES)
    set(folder ${icon_root}/${size}x${size}/apps)
    add_custom_command(OUTPUT ${folder}/${ZR5_ICON_NAME}.png
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND Python3::Interpreter ${icon_script} --size ${size} ${folder}/${ZR5_ICON_NAME}.png
      DEPENDS ${icon_script} VERBATIM)
    list(APPEND icons ${folder}/${ZR5_ICON_NAME}.png)
  endforeach()
  add_custom_target(zr5_icons ALL DEPENDS ${icons})
  install(DIRECTORY ${icon_root} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()

# Manual pages, compressed as Debian wants them (no time stamp, so builds repeat).
find_program(ZR5_GZIP gzip REQUIRED)
set(man_pages zr5run zr5patrol)
if(ZR5_WITH_GUI)
  list(APPEND man_pages zr5a zr5skin)
endif()
set(man_outputs)
foreach(page IN LISTS man_pages)
  set(source ${CMAKE_SOURCE_DIR}/docs/man/${page}.1)
  set(output ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "${ZR5_GZIP} -9n < \"$1\" > \"$2\"" sh ${source} ${output}
    DEPENDS ${source} VERBATIM)
  list(APPEND man_outputs ${output})
endforeach()
add_custom_target(zr5_man ALL DEPENDS ${man_outputs})
install(FILES ${man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package. Its copyright and changelog go only into the package.
set(ZR5_DEB_DOC ${CMAKE_BINARY_DIR}/debian-doc)
configure_file(${CMAKE_SOURCE_DIR}/packaging/debian/changelog.in ${ZR5_DEB_DOC}/changelog @ONLY)
add_custom_command(OUTPUT ${ZR5_DEB_DOC}/changelog.Debian.gz
  COMMAND sh -c "${ZR5_GZIP} -9n < \"$1\" > \"$2\"" sh ${ZR5_DEB_DOC}/changelog ${ZR5_DEB_DOC}/changelog.Debian.gz
  DEPENDS ${ZR5_DEB_DOC}/changelog VERBATIM)
add_custom_target(zr5_debian_doc ALL DEPENDS ${ZR5_DEB_DOC}/changelog.Debian.gz)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/copyright ${ZR5_DEB_DOC}/changelog.Debian.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zephyrant2 COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_PACKAGE_NAME zephyrant2)
set(CPACK_PACKAGE_VENDOR Orlemont)
set(CPACK_PACKAGE_CONTACT "Orlemont <zephyrant2@orlemont.org>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://zephyrant2.orlemont.org/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop headline ticker for news scripts and RSS sites")
set(CPACK_PACKAGE_DESCRIPTION
    "A small borderless, skinnable, translucent window in which headlines scroll\n"
    "from right to left. Headlines come from news scripts, run by the engine\n"
    "library libzr5script, and from RSS and Atom feeds. Includes the command-line\n"
    "tools zr5run, zr5patrol and zr5skin.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Every component (the programs and the Debian documents) into one package.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified debian)
set(CPACK_DEBIAN_PACKAGE_SECTION news)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The library cache is refreshed by a trigger, as Debian wants, not by ldconfig
# calls in maintainer scripts.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/debian/triggers
    ${CMAKE_SOURCE_DIR}/packaging/debian/postinst ${CMAKE_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/Zr5DebianRpath.cmake)
include(CPack)
