# The Debian package: `cpack -G DEB` in a build folder packs what `cmake --install`
# puts under /usr. Dependencies come from the binaries (dpkg-shlibdeps), plus what
# they load at run time without linking it.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pictrove)
set(CPACK_PACKAGE_VERSION ${PICTROVE_VERSION})
set(CPACK_PACKAGE_VENDOR "Pictrove developers")
set(CPACK_PACKAGE_CONTACT "Pictrove maintainers <maintainers@pictrove.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "photo album downloader for Sina blog and Sina Weibo")
set(CPACK_PACKAGE_DESCRIPTION
    "Pictrove lists every photo album of a Sina blog or Sina Weibo owner and
downloads the chosen ones, each into a folder of its own, the pictures named
by the user's rules. Albums shown only to logged-in users are listed with the
user's own login, made in the program's login browser.

The package holds the desktop program pictrove and pictrove-cli, which lists
and downloads from a shell with the same settings and logins.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Directories the install rules create implicitly get the usual 0755 whatever the umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://pictrove.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins (xcb, wayland) and the download archive's SQLite
# driver at run time; libcurl checks servers against the system's certificate
# authorities. The scan-to-log-in's code is drawn with libqrencode (dpkg-shlibdeps
# finds it too; named here so the package says it even without shlibdeps).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite, libqrencode4, ca-certificates")
# The window's texts are Chinese; opening folders and pages goes through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
