# The Debian package, made by CPack from this build tree: the same install
# rules as `make install`, placed under /usr. The libraries' packages come
# from dpkg-shlibdeps; the data the program reads at run time is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME emberlrn)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_CONTACT "${EMBERLRN_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Fireplace screen saver with Christmas decorations")
set(CPACK_PACKAGE_DESCRIPTION [=[
Emberlorn fills the idle screen with an open fire: a flickering flame over
glowing logs between brass andirons, framed by one of six stone and marble
surrounds that take turns every few minutes. Stockings, bells and
poinsettias hang around it, a desk calendar shows the date and a running
clock, and a line of your own text can stand at the top. A crackling fire
plays softly, and a playlist of 24 carols can play in turn.

It runs under xscreensaver, or started by xss-lock or xautolock; the menu
entry Emberlorn settings (emberlrn /c) chooses what it shows and plays.]=])

set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The texts' fonts (Liberation Sans for "Arial", VL Gothic for Japanese
# letters) and the General MIDI soundfont the carols play through.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-vlgothic, timgm6mb-soundfont")
# Something to start it when the desktop is idle; the desktop opener shows
# the settings' help pages.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xscreensaver | xss-lock, xdg-utils")

# What lintian asks of every package: stripped programs, root-owned files,
# folders 0755 and control files 0644 whatever the builder's umask.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_THREADS 0)
# Lintian's notes on what this package does on purpose, in the package only.
set(CPACK_INSTALLED_DIRECTORIES "${CMAKE_CURRENT_LIST_DIR}/lintian;${CPACK_PACKAGING_INSTALL_PREFIX}/share/lintian/overrides")
include(CPack)
