# Install rules and the Debian package: scripts/package.sh builds the program and its manual
# page, then runs cpack, which writes build/controllo-listino_VERSION_amd64.deb.
include(GNUInstallDirs)
set(CL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/controllo-listino)

# The manual page is made from the program's own --help (not built with everything: the package
# script asks for it).
set(CL_MANPAGE ${CMAKE_BINARY_DIR}/controllo-listino.1)
add_custom_command(OUTPUT ${CL_MANPAGE}.gz
  COMMAND python3 ${CMAKE_SOURCE_DIR}/scripts/manpage.py $<TARGET_FILE:controllo-listino> ${CL_MANPAGE}
  COMMAND gzip -9nf ${CL_MANPAGE}
  DEPENDS controllo-listino ${CMAKE_SOURCE_DIR}/scripts/manpage.py
  COMMENT "Manual page from --help")
add_custom_target(manpage DEPENDS ${CL_MANPAGE}.gz)

# The AppStream file carries the version and its date.
configure_file(${CMAKE_SOURCE_DIR}/packaging/controllo-listino.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/controllo-listino.metainfo.xml @ONLY)

install(TARGETS controllo-listino RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CL_MANPAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/controllo-listino.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/controllo-listino.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/icons/controllo-listino.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The PNG sizes are those scripts/render-icons.sh made (packaging/icons/SIZE.png).
file(GLOB CL_ICON_PNGS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/packaging/icons/*.png)
foreach(png ${CL_ICON_PNGS})
  get_filename_component(size ${png} NAME_WE)
  install(FILES ${png} RENAME controllo-listino.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES README.md DESTINATION ${CL_DOCDIR})
install(DIRECTORY docs/ DESTINATION ${CL_DOCDIR}/docs FILES_MATCHING PATTERN "*.png")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME controllo-listino)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Sviluppo Controllo Listino <sviluppo@controllo-listino.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "controllo dei listini e dei prezzi di vendita per negozi alimentari")
# One argument: CMake would join several with semicolons.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "\
Confronta gli articoli variati della banca dati centrale con i listini del negozio,
propone i nuovi prezzi di vendita, li fa rivedere in una griglia, li applica agli
archivi del negozio e stampa etichette e resoconti. Lavora su file SQLite o su un
server PostgreSQL e legge i database Access con mdbtools.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_STRIP_FILES ON)
# The libraries (Qt 6, SQLite, libpq, zint, libxlsxwriter, libzip, expat, ICU) come from the
# program's own links; the labels and reports ask for the Liberation fonts by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# Access files and a store's own server are optional: the program works on SQLite files without.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "mdbtools, postgresql, qt6-translations-l10n")
include(CPack)
