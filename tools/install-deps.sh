#!/usr/bin/env bash
# Installs the Debian 12 packages VOK needs, if any is missing.
#   tools/install-deps.sh          what building and running VOK needs
#   tools/install-deps.sh --test   also what the test suite needs
set -euo pipefail

# Building: compiler, CMake, Qt 5 (Core, Gui, Widgets, PrintSupport, Test),
# Qwt for Qt 5 (the plots) and KWidgetsAddons (the colour picker).
packages=(g++ cmake make qtbase5-dev libqwt-qt5-dev libkf5widgetsaddons-dev)

if [[ "${1:-}" == "--test" ]]; then
    packages+=(
        xvfb xauth              # tests and the screenshot script that need a real X server
        x11-utils               # xwininfo: the window titles of the program under test
        fonts-dejavu-core       # a font for the offscreen and PDF renderings
        poppler-utils           # pdfinfo, pdftotext: read back the PDF output
        gdal-bin                # ogrinfo: reads back the KML output
        gpsbabel                # reads back the KML, TCX and GPX output
        libxml2-utils           # xmllint: validates the KML against the OGC schema
        clang libclang-rt-14-dev # libFuzzer and the sanitizer runtimes of the fuzz targets
        desktop-file-utils appstream # validate the desktop entry and the metainfo
        dpkg-dev file           # dpkg-shlibdeps: the Debian package's dependencies
    )
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
