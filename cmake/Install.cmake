# The installed game: programs in bin/, the data under share/quenmar/ (where the programs
# look for it, relative to themselves), the desktop entry, icons and AppStream metadata.
include(GNUInstallDirs)

foreach(program quenmar quenmar-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

set(QUENMAR_INSTALL_DATA ${CMAKE_INSTALL_DATADIR}/quenmar)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${QUENMAR_INSTALL_DATA})
# What the build draws and renders into its data folder (pictures, sounds and music).
foreach(generated Textures sounds)
  install(DIRECTORY ${QUENMAR_DATA_DIR}/${generated} DESTINATION ${QUENMAR_INSTALL_DATA} OPTIONAL)
endforeach()

install(FILES ${CMAKE_SOURCE_DIR}/packaging/org.example.quenmar.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/org.example.quenmar.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Debian's machine-readable copyright file, where a Debian package keeps it.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quenmar)
if(TARGET quenmar_icons)
  install(DIRECTORY ${QUENMAR_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
endif()

# make package: a Debian package, its library dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quenmar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "colony-building strategy game")
set(CPACK_PACKAGE_DESCRIPTION
    "Build a colony on a distant planet: place buildings, keep energy, food, raw materials,\nproducts, living space and attraction in balance, trade, take credit and live through\nrandom events, pirate raids and earthquakes.")
set(CPACK_PACKAGE_CONTACT "QUENMAR maintainers <maintainers@quenmar.example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The glyphs of the Chinese language file, for the HUD's bitmap fonts and the windows.
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-wqy-microhei)
# Qt's own words (questions' buttons, file dialogs) in the player's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_STRIP_FILES ON)
include(CPack)
