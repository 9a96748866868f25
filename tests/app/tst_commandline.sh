#!/usr/bin/env bash
# Starts VOK as a file manager or a shell would, with arguments, under a
# virtual X server, and reads the titles of the windows it shows.
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
export QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME=

# Run by show() below, within a virtual X server of its own: starts VOK with
# the arguments after VOK and RIDE and waits up to 30 s for a window titled
# $VOK_SHOWS. Exits 0 when it shows, 1 when it does not, 2 when VOK ended
# first; otherwise prints the windows there were and what VOK printed.
if [[ -n "${VOK_SHOWS:-}" ]]; then
    shift 2
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    "$vok" "$@" >"$log" 2>&1 &
    pid=$!
    status=1
    names=""
    for _ in $(seq 300); do
        names=$(xwininfo -root -tree | grep -o '"[^"]*"' || true)
        if grep -qxF "\"$VOK_SHOWS\"" <<<"$names"; then status=0; break; fi
        if ! kill -0 "$pid" 2>/dev/null; then status=2; break; fi
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    if [[ $status -ne 0 ]]; then
        echo "the windows were:"
        echo "$names"
        echo "and VOK printed:"
        cat "$log"
    fi
    exit "$status"
fi

# show TITLE ARGUMENT...: starts VOK with the arguments under a virtual X
# server of its own, as above, and prints what it found where the window did
# not show. A server that goes away takes only one start with it.
show() {
    local title=$1
    shift
    VOK_SHOWS=$title xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$vok" "$ride" "$@"
}

failed=0

# expect TITLE ARGUMENT...: VOK started with the arguments shows a window of that
# title. A VOK that ends before showing it gets a second start, on a new
# server, after its output is shown, so that a virtual display refusing a
# client is told apart from a program that cannot start.
expect() {
    local status=0 found
    found=$(show "$@") || status=$?
    if [[ $status -eq 2 ]]; then
        echo "NOTE: vok ${*:2} ended before showing \"$1\"; $found"
        status=0
        found=$(show "$@") || status=$?
    fi
    if [[ $status -eq 0 ]]; then
        echo "PASS: vok ${*:2} shows \"$1\""
    else
        echo "FAIL: vok ${*:2} shows no window \"$1\"; $found"
        failed=1
    fi
}

expect "VOK 2.0.1"
expect "VOK - $ride" "$ride"
expect "Read error" /nonexistent/S_100407_10-30.csv   # the title follows once it is answered
expect "VOK - $ride" -style fusion "$ride"
expect "VOK - $ride" "$ride" "$other"
exit "$failed"
