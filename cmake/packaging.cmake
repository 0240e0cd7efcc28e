# The Debian package, made by CPack from the install rules (bash
# scripts/package.sh). Installs under /usr; the program finds its files
# from where it runs, so the prefix is not built into it.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmere)
set(CPACK_PACKAGE_VENDOR "Quillmere")
set(CPACK_PACKAGE_CONTACT "Quillmere <support@quillmere.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "planner for personal time management")
set(CPACK_PACKAGE_DESCRIPTION "Quillmere Planner keeps tasks and appointments, plans each day with A, B and C \
priorities and an automatic schedule, times the work with one running timer and \
shows where the time went. Every change can be undone, and everything works from \
the keyboard. All data lives in one SQLite file in the user's own folder.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links come from dpkg-shlibdeps; what Qt loads at
# run time is named here: its X11 platform plugin, and the SVG icon engine
# that draws the toolbar's own icons.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
include(CPack)
