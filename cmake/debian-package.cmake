# The Debian package of the Linux program, made by CPack: `cpack -G DEB` in
# a build folder configured with PENTRAX_DEBIAN_PACKAGE=ON (this is what
# scripts/package.sh does). Its files are those of `cmake --install`, plus
# the copyright and changelog that Debian wants in usr/share/doc/pentrax2
# and the package's lintian overrides.
include(GNUInstallDirs)
if(PENTRAX_DEBIAN_PACKAGE)
  set(doc ${CMAKE_INSTALL_DATADIR}/doc/pentrax2)
  install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright DESTINATION ${doc})
  # gzip -9n: no file name and no time in the header.
  add_custom_command(OUTPUT changelog.Debian.gz
    COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/data/debian/changelog
      > changelog.Debian.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/data/debian/changelog)
  add_custom_target(pentrax_debian_changelog ALL DEPENDS changelog.Debian.gz)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz DESTINATION ${doc})
  install(FILES ${PROJECT_SOURCE_DIR}/data/debian/lintian-overrides RENAME pentrax2
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pentrax2)
set(CPACK_PACKAGE_VENDOR "Pentrax developers")
set(CPACK_PACKAGE_CONTACT "Pentrax developers <dev@pentrax.dev>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://pentrax.dev/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "size other programs' windows to a test resolution")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Pentrax resizes other programs' windows to a test resolution, so that you
can see how your program or web site looks on a smaller screen. Pick one of
seven sizes (640 x 480 up to 1600 x 1200) or a custom one, optionally add a
window border and take off a task bar, press the sizing button and click the
window to size. It is kept inside the work area of its monitor, and its old
placement is remembered so that the restore button can put it back.

It works on X11 with any window manager that follows the EWMH hints, and on
Wayland in sway, KDE Plasma and GNOME (through its own GNOME Shell
extension, which this package installs).")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links to, from dpkg-shlibdeps; the fonts its
# layout is measured with, which no library asks for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation2)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
