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
log=$(mktemp)
trap 'rm -f "$log"' EXIT
names=""

# start TITLE ARGUMENT...: starts VOK and waits up to 30 s for a window of that
# title. Returns 0 when it shows, 1 when it does not, 2 when VOK ended first.
start() {
    local title=$1 pid status=1
    shift
    "$vok" "$@" >"$log" 2>&1 &
    pid=$!
    for _ in $(seq 300); do
        names=$(xwininfo -root -tree | grep -o '"[^"]*"' || true)
        if grep -qxF "\"$title\"" <<<"$names"; then status=0; break; fi
        if ! kill -0 "$pid" 2>/dev/null; then status=2; break; fi
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    return "$status"
}

# expect TITLE ARGUMENT...: VOK started with the arguments shows a window of that
# title. A VOK that ends before showing it gets a second start, after its output
# is shown, so that a virtual display refusing one client is told apart from a
# program that cannot start.
expect() {
    local status=0
    start "$@" || status=$?
    if [[ $status -eq 2 ]]; then
        echo "NOTE: vok ${*:2} ended before showing \"$1\"; it printed:"
        cat "$log"
        status=0
        start "$@" || status=$?
    fi
    if [[ $status -eq 0 ]]; then
        echo "PASS: vok ${*:2} shows \"$1\""
    else
        echo "FAIL: vok ${*:2} shows no window \"$1\"; the windows were:"
        echo "$names"
        echo "and VOK printed:"
        cat "$log"
        failed=1
    fi
}

expect "VOK 2.0.1"
expect "VOK - $ride" "$ride"
expect "Read error" /nonexistent/S_100407_10-30.csv   # the title follows once it is answered
expect "VOK - $ride" -style fusion "$ride"
expect "VOK - $ride" "$ride" "$other"
exit "$failed"
