#!/usr/bin/env bash
# Starts VOK as a file manager or a shell would, with arguments, under a
# virtual X server of its own, and reads the titles of the windows it shows.
#   tst_commandline.sh VOK RIDE
# Exits 77 (skipped) without xvfb-run or xwininfo, unless CI is set.
set -euo pipefail
vok=$1
ride=$2
other=$(dirname "$ride")/../other/S_100407_10-30.csv

for tool in xvfb-run xwininfo; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is not installed (tools/install-deps.sh --test installs it)"
        [[ -n "${CI:-}" ]] && exit 1 || exit 77
    fi
done
if [[ -z "${VOK_UNDER_XVFB:-}" ]]; then
    VOK_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME=

failed=0
# expect TITLE ARGUMENT...: VOK started with the arguments shows a window of that title.
expect() {
    local title=$1 names="" pid
    shift
    "$vok" "$@" >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 150); do
        names=$(xwininfo -root -tree | grep -o '"[^"]*"' || true)
        grep -qxF "\"$title\"" <<<"$names" && break
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    if grep -qxF "\"$title\"" <<<"$names"; then
        echo "PASS: vok $* shows \"$title\""
    else
        echo "FAIL: vok $* shows no window \"$title\"; the windows were:"
        echo "$names"
        failed=1
    fi
}

expect "VOK 2.0.1"
expect "VOK - $ride" "$ride"
expect "Read error" /nonexistent/S_100407_10-30.csv   # the title follows once it is answered
expect "VOK - $ride" -style fusion "$ride"
expect "VOK - $ride" "$ride" "$other"
exit "$failed"
