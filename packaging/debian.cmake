# The Debian package (cpack -G DEB), built by scripts/package.sh from a build configured with the
# prefix /usr, so that the shop's rate file lands in /etc.
set(TARVEX_MAINTAINER "Tarvex <contact@example.com>" CACHE STRING
    "Maintainer named in the Debian package: name <address>")

set(CPACK_PACKAGE_NAME tarvex)
set(CPACK_PACKAGE_VENDOR Tarvex)
set(CPACK_PACKAGE_CONTACT "${TARVEX_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pocket calculator for shopkeepers: VAT, margins, discounts")
set(CPACK_PACKAGE_DESCRIPTION "\
Tarvex is a small desktop calculator for shopkeepers and sales staff, with a
French user interface. It looks like a pocket calculator without a window
frame: the four operations, equals and a commercial percentage key.

Its VAT keys turn a price without VAT into a price with VAT and back, and give
the VAT on a price or the VAT a price contains, at one of two rates. A margin
window relates purchase and selling prices to margin and mark-up rates,
coefficient and gross margin, and works out discounts and increases. Amounts
are copied and pasted as prices, and a tape records every calculation with a
grand total, to be copied, saved for a spreadsheet or printed.

The shop's default rates are kept in /etc/tarvex/Taux.ini; each user may set
rates of their own.")
set(CPACK_DEBIAN_PACKAGE_NAME tarvex)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://${TARVEX_WEBSITE}")

# The libraries come from the binary (dpkg-shlibdeps). The windows are drawn for the classic
# Windows faces, which the program replaces with their metric twins: without one of them the
# captions no longer fit their keys, so a font is a dependency. Qt's French texts only translate
# the fields' context menus: recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation | fonts-liberation2 | fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")

# Stripped: a shopkeeper's machine has no use for the symbols, and no separate -dbgsym package.
set(CPACK_TARVEX_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/strip.cmake)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

# The shop's rates are a conffile: an upgrade keeps the administrator's edit (and asks when the
# package's default changed too), a purge removes it.
list(JOIN tarvex_shop_rates "\n" tarvex_conffiles)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/debian/conffiles "${tarvex_conffiles}\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/debian/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Where lintian is wrong about this program, with the reasons.
install(FILES lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tarvex)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
