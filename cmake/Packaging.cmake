# The Debian package: `cpack -G DEB` in the build directory, or
# `cmake --build <build> --target package`, writes vok_<version>_<arch>.deb
# holding everything `cmake --install` puts in place, under /usr.
#
# Its dependencies come from dpkg-shlibdeps, which looks up the Debian
# package of every shared library the program links (Qt 5, Qwt, KWidgetsAddons,
# the C and C++ runtimes), so the package asks for exactly the runtime
# packages of the system it was built on. That needs dpkg-dev and file.

set(CPACK_PACKAGE_NAME vok)
set(CPACK_PACKAGE_VENDOR "Calvina Labs")
set(CPACK_PACKAGE_CONTACT "Calvina Labs <vok@calvinalabs.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://calvinalabs.example/vok")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for rides recorded by a cycling power meter")
set(CPACK_PACKAGE_DESCRIPTION
    "VOK shows a ride recorded by a cycling power meter: left, right and total power, pedal \
offsets, up/down percentages, height, speed, heart rate and cadence on three stacked plots \
that share one x axis, elapsed time or distance, and zoom together. Turn markers open the \
force curve of one pedal revolution; the GPS track exports as KML or opens in Google Earth; \
the plots print or go to a one-page PDF.")
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_NAME vok)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# `package_source`: the sources without the version control data and the
# build directories that tools/run.sh and tools/test.sh make in the tree.
set(CPACK_SOURCE_GENERATOR TXZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\.git" "/build/" "/build-[^/]*/")

include(CPack)
