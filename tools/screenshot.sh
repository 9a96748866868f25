#!/usr/bin/env bash
# Builds VOK, opens rides in its main window under a virtual X server and
# saves pictures of them into docs/:
#   screenshot.png                the shipped sample ride at 1280 x 960 with the cursor
#                                 over the plots (the README's)
#   sample-ride-800x600.png       the same at the first-run size
#   26-hour-ride-800x600.png      a generated ride of 26 hours with pauses
# and into the user guide (resources/help/) the pedal strokes window and the
# statistics and cursor of the 26-hour ride.
#   tools/screenshot.sh [DOCS_DIR]     (default: docs/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VOK_BUILD_DIR:-$root/build}
docs=${1:-$root/docs}

command -v xvfb-run >/dev/null || { echo "xvfb-run is missing: tools/install-deps.sh --test" >&2; exit 1; }
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target vok_screenshot make_sample_ride -j "$(nproc)"

rides=("$root"/examples/S_*.csv)
long=$(mktemp -d)
trap 'rm -rf "$long"' EXIT
"$build/tools/make_sample_ride" --hours 26 --rate 0.2 --pauses 3 "$long" >/dev/null
longRides=("$long"/S_*.csv)

mkdir -p "$docs"
shot() { # shot RIDE OUTPUT SIZE [--pedal-strokes]
    # No desktop around: Qt's own widgets and file dialog, the plain platform theme.
    QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= \
        xvfb-run -a -s "-screen 0 1920x1080x24" "$build/tools/vok_screenshot" "$@"
}
shot "${rides[0]}" "$docs/screenshot.png" 1280x960 --cursor 0.55
shot "${rides[0]}" "$docs/sample-ride-800x600.png" 800x600
shot "${longRides[0]}" "$docs/26-hour-ride-800x600.png" 800x600
shot "${rides[0]}" "$root/resources/help/pedal-strokes.png" 900x640 --pedal-strokes
shot "${longRides[0]}" "$root/resources/help/ride-analysis.png" 1100x820 --cursor 0.4
