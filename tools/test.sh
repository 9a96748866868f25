#!/usr/bin/env bash
# Installs what is missing, builds VOK and runs the whole test suite twice:
# once as built for use, once with AddressSanitizer and
# UndefinedBehaviorSanitizer. Then the fuzz targets run for a bounded time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
"$root/tools/install-deps.sh" --test
export QT_QPA_PLATFORM=offscreen

echo "== Build and test"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" -j "$jobs"
(cd "$root/build" && ctest --output-on-failure -j "$jobs")

echo "== Build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DVOK_SANITIZE=ON -DVOK_BUILD_BENCH=OFF
cmake --build "$root/build-asan" -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
(cd "$root/build-asan" && ctest --output-on-failure -j "$jobs")

"$root/tools/check-install.sh" "$root/build"

if [[ -x "$root/fuzz/run.sh" ]]; then
    echo "== Fuzz"
    "$root/fuzz/run.sh"
fi
