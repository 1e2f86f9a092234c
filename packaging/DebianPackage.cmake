# The Debian package: `cpack -G DEB` in the build folder (scripts/test-deb.sh does it) packs what
# `cmake --install` puts under /usr, plus the changelog and the Lintian notes that only a Debian
# package carries. CPack rather than a debian/ folder: the package is made from the build that is
# already there in seconds, where dpkg-buildpackage would build everything once more, and the
# install rules above stay the one list of what is installed.

set(KEYLOOM_PACKAGE_CONTACT "Quorvane <keyloomvkxx@quorvane.example>"
    CACHE STRING "Maintainer of the Debian package: name <address>")
# The release of this version, as in the AppStream metainfo.
set(KEYLOOM_RELEASE_DATE "Thu, 10 Dec 2026 12:00:00 +0000")

set(debian_files ${CMAKE_CURRENT_BINARY_DIR}/debian)
configure_file(changelog.in ${debian_files}/changelog @ONLY)
add_custom_command(OUTPUT ${debian_files}/changelog.gz
  COMMAND gzip -9nkf changelog
  DEPENDS ${debian_files}/changelog
  WORKING_DIRECTORY ${debian_files}
  VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${debian_files}/changelog.gz)

# Only in the package (CPack installs this component; a plain `cmake --install` leaves it out).
install(FILES ${debian_files}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/keyloomvkxx
        COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
        RENAME keyloomvkxx COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME keyloomvkxx)
set(CPACK_PACKAGE_VENDOR Quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${KEYLOOM_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for VK24 and VK48 programmable USB keypads")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"KeyloomVKxx edits what each key of a VK24 or VK48 programmable USB keypad
sends: key strokes, typed text, delays, LED commands, mouse moves and clicks,
on two levels per key, and the keypad-wide properties. It saves key definition
files (.ckd) together with the device image (.bin) that the keypad reads.
.
The package holds the editor, the key test program KeyTest, the command-line
tool vkxx (show, check, convert and print key definition files), the user
manual, samples and keycap label templates.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The dependencies are those of the programs' libraries, found by dpkg-shlibdeps. Qt's X11 and
# offscreen platform plugins, loaded at run time, come with libqt6gui6, which it finds.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# One package from the install rules without a component and the Debian-only files.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified debian)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
