# What `cmake --install` puts in place: the program, its shipped data (read
# when the learner's folder has no file of that name), the desktop entry, the
# AppStream metadata, the icon and the manual page.
set(VELM_APP_ID org.velmmtr.VelmMtr)

install(TARGETS VELM2 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/
  DESTINATION ${CMAKE_INSTALL_DATADIR}/velm-mtr
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${PROJECT_SOURCE_DIR}/dist/${VELM_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/dist/${VELM_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/dist/velm-mtr.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/dist/velm-mtr.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
