# Install rules and the Debian package (cpack -G DEB), for Linux builds with the windows.
# The program and its tools go to lib/quillmaker, where they stay together as the update window
# expects; the marker beside them moves the workspace to the user's data folder.
include(GNUInstallDirs)
# lib/quillmaker, not the multiarch library folder: the launcher finds the program from itself.
set(QM_INSTALL_PROGRAM_DIR lib/quillmaker)

install(TARGETS Quillmaker quillmaker-cli Ethernet_Update RUNTIME DESTINATION ${QM_INSTALL_PROGRAM_DIR})
# The PDF writer quillmaker-cli loads from beside itself for `report --format pdf`.
install(TARGETS qm_report_pdf_module LIBRARY DESTINATION ${QM_INSTALL_PROGRAM_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/LANGUAGE/English.lng ${PROJECT_SOURCE_DIR}/LANGUAGE/Italiano.lng
        DESTINATION ${QM_INSTALL_PROGRAM_DIR}/LANGUAGE)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/Quillmaker.installed DESTINATION ${QM_INSTALL_PROGRAM_DIR})
install(PROGRAMS ${PROJECT_SOURCE_DIR}/packaging/quillmaker DESTINATION ${CMAKE_INSTALL_BINDIR})
install(CODE "file(CREATE_LINK ../lib/quillmaker/quillmaker-cli
                   \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/quillmaker-cli\" SYMBOLIC)")
install(FILES ${PROJECT_SOURCE_DIR}/packaging/quillmaker.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/quillmaker.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/Example DESTINATION ${CMAKE_INSTALL_DATADIR}/quillmaker/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmaker)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Quillmaker developers <quillmaker@quillmaker.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configurator of the IEC61850 Server / S7comm converter CF39174")
set(CPACK_PACKAGE_DESCRIPTION "Keeps named configurations of the converter, edits its communication parameters, S7comm rules, IEC 61850 variables and TLS certificates, and builds its three device images. Includes the command-line tool quillmaker-cli.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
# Debian's own Qt, pugixml and libcsv; the xcb platform plugin is in libqt6gui6, Qt's own texts
# in the other languages (file dialogs, message box buttons) in qt6-translations-l10n. dpkg-shlibdeps
# adds whatever else the programs and the PDF module link, so that a library added later cannot
# be forgotten here.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), libqt6printsupport6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), qt6-translations-l10n (>= 6.4), libpugixml1v5 (>= 1.13), libcsv3 (>= 3.0), libstdc++6 (>= 12), libc6 (>= 2.34)")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
