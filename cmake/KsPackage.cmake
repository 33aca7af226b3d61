# The Debian package: cpack -G DEB in the build folder (scripts/package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrova-sertrix)
set(CPACK_PACKAGE_VENDOR Tellvik)
set(CPACK_PACKAGE_CONTACT "Tellvik <support@tellvik.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "positions of a web site in six search engines")
set(CPACK_PACKAGE_DESCRIPTION "Kestrova Sertrix finds the position of a web site
for up to seven keywords in six search engines, page by page up to twenty
result pages, the monthly Yandex query count of each keyword and the site's
Google PageRank and Yandex CY. kestrova-check runs the same check from the
command line.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The standard buttons and dialogs of Qt read Russian only with Qt's own translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The debug symbols of the RelWithDebInfo build go into a package of their own,
# kestrova-sertrix-dbgsym; CPack strips the programs itself once it has taken them out.
set(CPACK_STRIP_FILES OFF)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
