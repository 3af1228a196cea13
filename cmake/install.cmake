# Installs the program like any desktop program, and packages it for Debian with CPack.
include(GNUInstallDirs)

set(ROULETTE_APP_ID fr.etuderoulette.EtudeRoulette)

install(TARGETS etude-roulette RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES app/data/${ROULETTE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES app/data/${ROULETTE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The window's icon, and larger renderings of the same drawing for menus.
add_executable(iconrender app/iconrender.cpp)
target_link_libraries(iconrender PRIVATE roulette_options Qt6::Gui)
set(icon_source ${PROJECT_SOURCE_DIR}/ui/common/etude-roulette.xpm)
set(icon_pngs)
foreach(size 32 64 128 256)
  set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}/${ROULETTE_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}
    COMMAND iconrender ${icon_source} ${png} ${size}
    DEPENDS iconrender ${icon_source} VERBATIM)
  list(APPEND icon_pngs ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(icons ALL DEPENDS ${icon_pngs})

set(CPACK_PACKAGE_NAME etude-roulette)
set(CPACK_PACKAGE_VENDOR "Étude Roulette")
set(CPACK_PACKAGE_CONTACT "Étude Roulette <etude-roulette@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Étudier les tirages d'une roulette à un zéro")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# Libraries come from what the binary links; the font and Qt's French texts are loaded by
# name, so they are named here. SQLite is named too: the notebook cannot work without it.
# SQLiteCpp needs no package at run time, Debian ships it as a static library only.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-translations-l10n, libsqlite3-0")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
