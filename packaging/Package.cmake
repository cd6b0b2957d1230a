# `cpack -G DEB` in the build folder: a Debian package of what `cmake --install` installs, for
# /usr. Its library dependencies are read from the programs by dpkg-shlibdeps (package dpkg-dev).
set(RUNEBIN_PACKAGE_MAINTAINER "Runebin developers <runebin@localhost>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME runebin)
set(CPACK_PACKAGE_VENDOR "Runebin developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "manage the symbols of drawings and symbol catalogs")
# Debian shows the description in lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Runebin lists, reorders, sorts, renames, copies and deletes the symbol
definitions stored in binary drawing files (.pvx), symbol catalogs (.pvs) and
templates (.pvt) of version 6, and imports Windows Metafiles (.wmf) as symbols.
A rename also renames every reference to the symbol, and files are always
written back safely.

The package holds the window program, runebin, and the command-line program,
runebin-cli, for batch work on whole folders of files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${RUNEBIN_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET runebin)
  # The libraries the window program links are found by dpkg-shlibdeps; Qt's display plugins,
  # which it loads at run time, are not.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
set(CPACK_GENERATOR DEB)
include(CPack)
