# A Debian package of the install (cpack -G DEB, from the build folder). Configure with
# -DCMAKE_INSTALL_PREFIX=/usr for it: the package installs under /usr either way, and the two
# then agree. No maintainer scripts: the triggers of shared-mime-info, desktop-file-utils and
# the icon theme refresh their databases when the package's files arrive or leave.
set(CPACK_PACKAGE_NAME kiv)
set(CPACK_PACKAGE_VENDOR "Pulm Vostra")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "protect texts, clipboard text and files with a password")
# Lines of at most 80 characters, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
  "Pulm Vostra encrypts the lines of its text editor, the text on the clipboard or
whole files with a password (kiv, a Qt program), and does the same from scripts
(kiv-cli). The cipher is the program's own, not a published and analysed one.")
set(CPACK_PACKAGE_CONTACT "Pulm Vostra developers <maintainers@pulmvostra.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from the binaries (dpkg-shlibdeps, from dpkg-dev). What they load
# at run time is named here: Qt's platform plugins, without which the window cannot start, and
# Qt's own translations for its dialogs' buttons.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# The summary becomes the synopsis line on its own.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")

include(CPack)
