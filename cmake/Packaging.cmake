# Install rules and the Debian package (cpack -G DEB), for Linux builds with the windows.
# The program and its tools go to lib/quillmaker, where they stay together as the update window
# expects; the marker beside them moves the workspace to the user's data folder.
include(GNUInstallDirs)
# lib/quillmaker, not the multiarch library folder: the launcher finds the program from itself.
set(QM_INSTALL_PROGRAM_DIR lib/quillmaker)

install(TARGETS Quillmaker quillmaker-cli Ethernet_Update RUNTIME DESTINATION ${QM_INSTALL_PROGRAM_DIR})
# The PDF writer quillmaker-cli loads for `report --format pdf`; in a folder of its own, which is
# no folder of the dynamic linker, so that the package needs no ldconfig.
install(TARGETS qm_report_pdf_module LIBRARY DESTINATION ${QM_INSTALL_PROGRAM_DIR}/modules)
# The same for the program: its print preview and its version query, loaded on first use.
install(TARGETS qm_print_preview_module qm_version_query_module LIBRARY DESTINATION ${QM_INSTALL_PROGRAM_DIR}/modules)
install(FILES ${PROJECT_SOURCE_DIR}/LANGUAGE/English.lng ${PROJECT_SOURCE_DIR}/LANGUAGE/Italiano.lng
        DESTINATION ${QM_INSTALL_PROGRAM_DIR}/LANGUAGE)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/Quillmaker.installed DESTINATION ${QM_INSTALL_PROGRAM_DIR})
install(PROGRAMS ${PROJECT_SOURCE_DIR}/packaging/quillmaker DESTINATION ${CMAKE_INSTALL_BINDIR})
install(CODE "file(CREATE_LINK ../lib/quillmaker/quillmaker-cli
                   \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/quillmaker-cli\" SYMBOLIC)")
install(FILES ${PROJECT_SOURCE_DIR}/packaging/quillmaker.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/quillmaker.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/Example DESTINATION ${CMAKE_INSTALL_DATADIR}/quillmaker/examples
        PATTERN .gitignore EXCLUDE)

# What Debian's tools expect of every package: the copyright in the machine-readable format, the
# changelog and a manual page for each program, compressed as Debian compresses them. The page of
# quillmaker-cli is made from its own --help, so the two never disagree.
set(QM_PACKAGE_DOCS ${PROJECT_BINARY_DIR}/package-docs)
find_program(QM_HELP2MAN help2man)
find_program(QM_GZIP gzip)
if(QM_HELP2MAN AND QM_GZIP)
  add_custom_command(
    OUTPUT ${QM_PACKAGE_DOCS}/quillmaker-cli.1.gz ${QM_PACKAGE_DOCS}/quillmaker.1.gz ${QM_PACKAGE_DOCS}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QM_PACKAGE_DOCS}
    COMMAND ${QM_HELP2MAN} --no-info --section 1 --source Quillmaker
            --name "command-line tool of the Quillmaker configurator"
            --output ${QM_PACKAGE_DOCS}/quillmaker-cli.1 $<TARGET_FILE:quillmaker-cli>
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/quillmaker.1 ${QM_PACKAGE_DOCS}/quillmaker.1
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/changelog ${QM_PACKAGE_DOCS}/changelog
    COMMAND ${QM_GZIP} -9nf ${QM_PACKAGE_DOCS}/quillmaker-cli.1 ${QM_PACKAGE_DOCS}/quillmaker.1 ${QM_PACKAGE_DOCS}/changelog
    DEPENDS quillmaker-cli ${PROJECT_SOURCE_DIR}/packaging/quillmaker.1 ${PROJECT_SOURCE_DIR}/packaging/changelog
    VERBATIM)
  add_custom_target(qm_package_docs ALL
    DEPENDS ${QM_PACKAGE_DOCS}/quillmaker-cli.1.gz ${QM_PACKAGE_DOCS}/quillmaker.1.gz ${QM_PACKAGE_DOCS}/changelog.gz)
  install(FILES ${QM_PACKAGE_DOCS}/quillmaker-cli.1.gz ${QM_PACKAGE_DOCS}/quillmaker.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${QM_PACKAGE_DOCS}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillmaker)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillmaker)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmaker)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Quillmaker developers <quillmaker@quillmaker.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configurator of the IEC61850 Server / S7comm converter CF39174")
set(CPACK_PACKAGE_DESCRIPTION "Keeps named configurations of the converter, edits its communication
parameters, S7comm rules, IEC 61850 variables and TLS certificates, and
builds its three device images. Includes the command-line tool
quillmaker-cli.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
# The libraries the programs and the PDF module link (Debian's own Qt, pugixml, libcsv; the xcb
# platform plugin is in libqt6gui6) come from dpkg-shlibdeps alone, each once, so that a library
# added later cannot be forgotten. The private PDF module needs no ldconfig.
# Qt's own texts in the other languages (file dialogs, message box buttons) are no library: named.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n (>= 6.4)")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
