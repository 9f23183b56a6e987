# Installing: the program in lib/koro with a launcher in bin, the desktop entry, icons,
# AppStream metadata and the samples a user's folder starts with. The marker file beside the
# executable makes an installed copy keep each user's files in the user's own folder.
include(GNUInstallDirs)

set(KORO_APP_ID example.korotv.Koro)

install(TARGETS koro RUNTIME DESTINATION lib/koro)
install(FILES packaging/installed.txt DESTINATION lib/koro)
install(PROGRAMS packaging/koro.sh DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME koro)
install(FILES packaging/${KORO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/${KORO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES resources/images/app/koro.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 256)
    install(FILES packaging/icons/koro-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME koro.png)
endforeach()
file(GLOB KORO_SAMPLE_SKINS CONFIGURE_DEPENDS resources/skins/*.skn)
install(FILES ${KORO_SAMPLE_SKINS} DESTINATION ${CMAKE_INSTALL_DATADIR}/koro/skin)
install(FILES resources/sounds/COCK.wav DESTINATION ${CMAKE_INSTALL_DATADIR}/koro/Tvlist)
# hls.js is built into the program (see CMakeLists.txt); its licence goes with it.
install(FILES ${CMAKE_SOURCE_DIR}/node_modules/hls.js/LICENSE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/koro RENAME hls.js-LICENSE)
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/koro)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME koro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Koro)
set(CPACK_PACKAGE_CONTACT "Koro <support@korotv.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Network TV desktop shell")
set(CPACK_PACKAGE_DESCRIPTION "Koro opens a TV portal in a window of its own, with a navigation \
bar, site menus, favorites, a tray icon, global hotkeys, compact mode, scheduled viewing and \
skins. It plays M3U playlists with an XMLTV programme guide and reminders from it. It carries \
hls.js (Apache License 2.0), see /usr/share/doc/koro/copyright.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripping keeps the version stamp: it is an allocated section, not debugging data.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the linker does not see: the page engine's helper process and data, plugins, the
# Chinese translations and a CJK font, and the desktop's opener for links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6webenginecore6-bin, libqt6webengine6-data, libqt6svg6, libqt6webchannel6, zlib1g, qt6-translations-l10n, fonts-wqy-microhei | fonts-noto-cjk, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libasound2-plugins, dbus-user-session")
include(CPack)
