# The Debian package: `cpack -G DEB` in a build folder (scripts/package.sh)
# writes quillmarch_<version>_<architecture>.deb with everything the install
# rules place under /usr.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmarch)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillmarch")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "acts of cash-register unit replacement, filled in LibreOffice Calc")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Quillmarch fills in and prints the act a cash-register (KKM) service mechanic
hands over after replacing a register's protected control-tape unit (EKLZ) or
its fiscal memory block, and keeps the archive of printed acts. The act is
filled in LibreOffice Calc; everything on screen is in Russian.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quillmarch maintainers <maintainers@quillmarch.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Libraries from the binary; the office it drives and Qt's Russian texts by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libreoffice-calc, qt6-translations-l10n")
# Not qt6-wayland: as an Xwayland client the main window opens centred, which a
# Wayland compositor refuses a native client (README, "Install").
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-l10n-ru, fonts-liberation")
include(CPack)
