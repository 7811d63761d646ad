# What `cmake --install` puts in place: the program, its shipped data (read
# when the learner's folder has no file of that name), the desktop entry, the
# AppStream metadata, the icon and the manual page.
set(VELM_APP_ID org.velmmtr.VelmMtr)

install(TARGETS VELM2 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The repository's own files there (.gitattributes, .gitkeep) are not data.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/
  DESTINATION ${CMAKE_INSTALL_DATADIR}/velm-mtr
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
  REGEX "/\\.[^/]*$" EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/dist/${VELM_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/dist/${VELM_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/dist/velm-mtr.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Manual pages are installed compressed, as the system's own are; -n keeps
# the name and time out, so that the package is the same from build to build.
find_program(VELM_GZIP gzip)
if(VELM_GZIP)
  set(_man ${CMAKE_CURRENT_BINARY_DIR}/velm-mtr.1.gz)
  add_custom_command(OUTPUT ${_man}
    COMMAND ${VELM_GZIP} -n -9 -c ${PROJECT_SOURCE_DIR}/dist/velm-mtr.1 > ${_man}
    DEPENDS ${PROJECT_SOURCE_DIR}/dist/velm-mtr.1 VERBATIM)
  add_custom_target(velm_manpage ALL DEPENDS ${_man})
  install(FILES ${_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/dist/velm-mtr.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
