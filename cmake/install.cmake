# Installs the program like any desktop program, and packages it for Debian with CPack.
include(GNUInstallDirs)

set(ROULETTE_APP_ID fr.etuderoulette.EtudeRoulette)

install(TARGETS etude-roulette RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES app/data/${ROULETTE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES app/data/${ROULETTE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ROULETTE_ICON_32} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps
        RENAME ${ROULETTE_APP_ID}.png)
install(FILES ${ROULETTE_ICON_SCALABLE} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${ROULETTE_APP_ID}.svg)

set(CPACK_PACKAGE_NAME etude-roulette)
set(CPACK_PACKAGE_VENDOR "Étude Roulette")
set(CPACK_PACKAGE_CONTACT "Étude Roulette <etude-roulette@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Étudier les tirages d'une roulette à un zéro")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# Libraries come from what the binary links; the font is loaded by name, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
