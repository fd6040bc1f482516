# Tarvex for Windows: the installer (cpack -G NSIS, with the French script in windows/) and the
# files of the portable zip, built by scripts/windows.sh.
set(CPACK_PACKAGE_NAME Tarvex)
set(CPACK_PACKAGE_VENDOR "Les développeurs de Tarvex")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Tarvex-${PROJECT_VERSION}-win64-setup)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Tarvex)
set(CPACK_GENERATOR NSIS)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
# The script is the project's own: CPack looks for NSIS.template.in on the module path first.
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_SOURCE_DIR}/windows)
# The script's own values (CPack hands its template only the CPACK_ ones).
set(CPACK_TARVEX_ICON ${CMAKE_SOURCE_DIR}/packaging/tarvex.ico)
set(CPACK_TARVEX_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_TARVEX_SHOP_RATES ${CMAKE_SOURCE_DIR}/vat/Taux.ini)
set(CPACK_TARVEX_SHOP_EXTRA_RATES ${CMAKE_SOURCE_DIR}/vat/AutresTaux.ini)
set(CPACK_TARVEX_WEBSITE ${TARVEX_WEBSITE})
# What "Applications et fonctionnalités" says the program takes, in kB: the exe and its rates.
set(CPACK_TARVEX_INSTALLED_KB 12000)
include(CPack)
