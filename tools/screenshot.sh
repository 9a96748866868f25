#!/usr/bin/env bash
# Builds VOK, opens the shipped sample ride in its main window under a
# virtual X server of 1920 x 1080 and saves the picture the README shows.
#   tools/screenshot.sh [OUTPUT.png]     (default: docs/screenshot.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VOK_BUILD_DIR:-$root/build}
output=${1:-$root/docs/screenshot.png}

command -v xvfb-run >/dev/null || { echo "xvfb-run is missing: tools/install-deps.sh --test" >&2; exit 1; }
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target vok_screenshot -j "$(nproc)"

rides=("$root"/examples/S_*.csv)
mkdir -p "$(dirname "$output")"
# No desktop around: Qt's own widgets and file dialog, the plain platform theme.
QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= \
    xvfb-run -a -s "-screen 0 1920x1080x24" "$build/tools/vok_screenshot" "${rides[0]}" "$output" 1280x960
