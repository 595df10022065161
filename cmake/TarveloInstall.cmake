# What `cmake --install` puts where. Paths are relative to the prefix
# (GNUInstallDirs), so any prefix works and DESTDIR stages cleanly; the
# programs find each other and their data relative to themselves.

install(TARGETS tarvelo tarvelo-widgets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS TarveloWidget RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/tarvelo)

# The build tree's share/tarvelo already has the installed layout: the
# widget-extension manifest (its program path is relative to it) and the
# application's resources.
install(DIRECTORY ${PROJECT_BINARY_DIR}/${CMAKE_INSTALL_DATADIR}/tarvelo/
  DESTINATION ${CMAKE_INSTALL_DATADIR}/tarvelo
  FILES_MATCHING PATTERN "*.json" PATTERN "*.png")

# Desktop entries: the application (the tarvelo: scheme handler), "Edit
# Widgets", and the widget host's start at login (in the system's XDG
# configuration folder: /etc/xdg for the /usr prefix, <prefix>/etc/xdg else).
install(FILES ${TARVELO_DESKTOP_ENTRY} ${PROJECT_SOURCE_DIR}/Platform/WidgetHostCommand/today.tarvelo.Widgets.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(TARVELO_AUTOSTART_FOLDER /etc/xdg/autostart)
else()
  set(TARVELO_AUTOSTART_FOLDER ${CMAKE_INSTALL_SYSCONFDIR}/xdg/autostart)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/Platform/WidgetHostCommand/autostart/today.tarvelo.Widgets.desktop
  DESTINATION ${TARVELO_AUTOSTART_FOLDER})

install(FILES ${PROJECT_SOURCE_DIR}/data/today.tarvelo.Tarvelo.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/today.tarvelo.Tarvelo.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/data/icons/hicolor/${size}x${size}/today.tarvelo.Tarvelo.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# A system-wide install refreshes the desktop's caches so that the scheme
# handler and the icon show at once. A staged install (DESTDIR, as a
# package build does) leaves that to the package manager's triggers.
install(CODE "
  if(NOT \"\$ENV{DESTDIR}\" AND NOT CMAKE_INSTALL_PREFIX MATCHES \"^\$ENV{HOME}\")
    execute_process(COMMAND update-desktop-database -q \"${CMAKE_INSTALL_FULL_DATADIR}/applications\"
      RESULT_VARIABLE ignored ERROR_QUIET)
    execute_process(COMMAND gtk-update-icon-cache -q -t \"${CMAKE_INSTALL_FULL_DATADIR}/icons/hicolor\"
      RESULT_VARIABLE ignored ERROR_QUIET OUTPUT_QUIET)
  endif()
")

# A Debian package: `cpack -G DEB` in the build folder (or `make package`).
set(CPACK_PACKAGE_NAME tarvelo)
set(CPACK_PACKAGE_VENDOR "The Tarvelo developers")
set(CPACK_PACKAGE_CONTACT "The Tarvelo developers <hello@tarvelo.today>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "month calendar widget for the desktop")
set(CPACK_PACKAGE_DESCRIPTION "Tarvelo puts a month calendar on the desktop: two chevrons step the month,
and a click on a day opens the calendar application of your choice. It never
reads your calendar.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tarvelo.today/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adwaita-icon-theme, fonts-dejavu-core | fonts-cantarell")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gnome-calendar | evolution")
set(CPACK_STRIP_FILES ON)
include(CPack)
