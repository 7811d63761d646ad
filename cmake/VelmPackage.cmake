# `cpack -G DEB` from the run configuration: package velm-mtr, its library
# dependencies found by dpkg-shlibdeps; the Liberation fonts stand in for the
# fonts the windows are laid out with and are loaded at run time, so they are
# named here.
set(CPACK_PACKAGE_NAME velm-mtr)
set(CPACK_PACKAGE_VENDOR "VELM-MTR")
set(CPACK_PACKAGE_CONTACT "VELM-MTR developers <velm-mtr@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Morse code receiving trainer")
set(CPACK_PACKAGE_DESCRIPTION
  "Teaches receiving Morse code by ear: the characters of one alphabet (English, German, Russian or Turkish), then digits and signs, in short lessons with four exercises each. The learner's progress is kept in ~/.local/share/velm-mtr.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libsndfile1 writes the practice as audio files (also found by shlibdeps).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, libsndfile1")
# Qt's own translations: message-box buttons and standard dialogs in the
# course's language. Without them they speak English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
