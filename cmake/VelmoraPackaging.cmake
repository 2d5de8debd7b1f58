# Installation layout and the two Debian packages (cmake --build build --target package):
#   velmora-cli (the command line; no Qt among its dependencies)
#     /usr/bin/velmora-cli
#     /usr/lib/systemd/user/velmora-keep.service  (runs "velmora-cli keep")
#     /usr/share/man/man1/velmora-cli.1.gz
#     /usr/share/velmora/{ports_list.txt,config.xml}  (the shared data of both programs)
#     /usr/share/doc/velmora-cli/{copyright,changelog.gz}
#   velmora (the window; depends on velmora-cli of the same version)
#     /usr/bin/velmora
#     /usr/share/applications/velmora.desktop
#     /usr/share/icons/hicolor/{scalable,16x16..256x256}/apps/velmora.{svg,png}
#     /usr/share/metainfo/example.velmora.Velmora.metainfo.xml
#     /usr/share/man/man1/velmora.1.gz
#     /usr/share/velmora/translations/velmora_<language>.qm
#     /usr/share/doc/velmora/{copyright,changelog.gz}
# Both programs find their shared data relative to their own folder
# (../share/velmora), so unpacked packages work from any root. Every install
# rule names its component: cli or window.
include(GNUInstallDirs)

set(VELMORA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VELMORA_ICON_DIR ${PROJECT_SOURCE_DIR}/resources/icons)
set(VELMORA_APPSTREAM_ID example.velmora.Velmora)
set(VELMORA_GENERATED_DIR ${PROJECT_BINARY_DIR}/packaging)

# The programs (app/, app/cli/) and the shipped catalogue (catalogue/) have
# their own install rules. Relocations read-only before the program runs
# (Debian's hardening default).
target_link_options(velmora PRIVATE -Wl,-z,relro,-z,now)

install(FILES ${VELMORA_PACKAGING_DIR}/velmora.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT window)
install(FILES ${VELMORA_ICON_DIR}/velmora.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT window)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${VELMORA_ICON_DIR}/hicolor/${size}x${size}/apps/velmora.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT window)
endforeach()
install(FILES ${VELMORA_PACKAGING_DIR}/velmora-keep.service
    DESTINATION lib/systemd/user COMPONENT cli)

# Files that carry the version, and the compressed forms Debian expects.
configure_file(${VELMORA_PACKAGING_DIR}/example.velmora.Velmora.metainfo.xml
    ${VELMORA_GENERATED_DIR}/${VELMORA_APPSTREAM_ID}.metainfo.xml @ONLY)
configure_file(${VELMORA_PACKAGING_DIR}/velmora.1 ${VELMORA_GENERATED_DIR}/velmora.1 @ONLY)
configure_file(${VELMORA_PACKAGING_DIR}/velmora-cli.1 ${VELMORA_GENERATED_DIR}/velmora-cli.1 @ONLY)
configure_file(${VELMORA_PACKAGING_DIR}/changelog ${VELMORA_GENERATED_DIR}/changelog @ONLY)
find_program(VELMORA_GZIP gzip REQUIRED)
add_custom_command(
    OUTPUT ${VELMORA_GENERATED_DIR}/velmora.1.gz ${VELMORA_GENERATED_DIR}/velmora-cli.1.gz
        ${VELMORA_GENERATED_DIR}/changelog.gz
    COMMAND ${VELMORA_GZIP} -9n -c velmora.1 > velmora.1.gz
    COMMAND ${VELMORA_GZIP} -9n -c velmora-cli.1 > velmora-cli.1.gz
    COMMAND ${VELMORA_GZIP} -9n -c changelog > changelog.gz
    DEPENDS ${VELMORA_GENERATED_DIR}/velmora.1 ${VELMORA_GENERATED_DIR}/velmora-cli.1
        ${VELMORA_GENERATED_DIR}/changelog
    WORKING_DIRECTORY ${VELMORA_GENERATED_DIR}
    VERBATIM)
add_custom_target(velmora_package_files ALL
    DEPENDS ${VELMORA_GENERATED_DIR}/velmora.1.gz ${VELMORA_GENERATED_DIR}/velmora-cli.1.gz
        ${VELMORA_GENERATED_DIR}/changelog.gz)

install(FILES ${VELMORA_GENERATED_DIR}/${VELMORA_APPSTREAM_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT window)
install(FILES ${VELMORA_GENERATED_DIR}/velmora.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT window)
install(FILES ${VELMORA_GENERATED_DIR}/velmora-cli.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT cli)
install(FILES ${VELMORA_PACKAGING_DIR}/copyright ${VELMORA_GENERATED_DIR}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmora COMPONENT window)
install(FILES ${VELMORA_PACKAGING_DIR}/copyright ${VELMORA_GENERATED_DIR}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmora-cli COMPONENT cli)

# The Debian packages, one per component.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL cli window)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "The Velmora developers <maintainers@velmora.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # <package>_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velmora.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON) # each package's libraries, from its executable
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_CLI_PACKAGE_NAME velmora-cli)
set(CPACK_DEBIAN_CLI_DESCRIPTION
    "router port forwarding from the command line
velmora-cli finds the home router (UPnP Internet Gateway Devices and NAT-PMP
gateways) and lists, adds and deletes its port mappings from the command
line, with the entries Velmora keeps in config.xml. Its user service
velmora-keep installs the entries marked auto add and puts them back when the
router loses them, on a machine without a desktop.")

set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME velmora)
# Qt's platform plugins and Qt's own translations are loaded at run time and
# are found by no library scan.
set(CPACK_DEBIAN_WINDOW_PACKAGE_DEPENDS
    "velmora-cli (= ${PROJECT_VERSION}), qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_WINDOW_DESCRIPTION
    "router port forwarding and port triggering utility
Velmora finds the home router (UPnP Internet Gateway Devices and NAT-PMP
gateways), installs, lists and deletes its port mappings, shows router
information, keeps port triggers open by sending trigger traffic, keeps a
catalogue of the ports that common applications need, and lives in the
system tray.")
include(CPack)
