#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer and Qt's own assertions, optimised) and runs
# each for a bounded time, starting from a copy of the corpus kept in
# fuzz/corpus/. Fails on a crash, a leak, a hang, or any difference between
# a reader and the reference reader; the input that did it is kept in the
# build directory.
#
#   VOK_FUZZ_BUILD   build directory (default: build-fuzz in the checkout)
#   VOK_FUZZ_SECONDS seconds per target (default: 60)
#   VOK_FUZZ_UPDATE_CORPUS=1  afterwards, replace fuzz/corpus/ with the
#                    smallest set of inputs that covers what the run found
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VOK_FUZZ_BUILD:-$root/build-fuzz}
seconds=${VOK_FUZZ_SECONDS:-60}
max_len=4096 # room for a session file and a few single-turn files

# Debug keeps Qt's assertions (no QT_NO_DEBUG); the flags make it fast.
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O2 -g" \
    -DVOK_FUZZ=ON -DVOK_BUILD_TESTS=OFF -DVOK_BUILD_BENCH=OFF
cmake --build "$build" --target fuzz_session fuzz_turn -j "$(nproc)"

# The targets write their inputs as files: to memory where there is room.
if [[ -d /dev/shm && -w /dev/shm ]]; then
    export TMPDIR=/dev/shm
fi
# A fixed time zone: without one, every local date and time the readers make
# has the C library look at /etc/localtime again. The records compare the
# same in any zone.
export TZ=UTC0
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in session turn; do
    corpus=$build/fuzz-corpus/$target
    rm -rf "$corpus"
    mkdir -p "$corpus" "$build/fuzz-artifacts"
    cp "$root/fuzz/corpus/$target"/* "$corpus/"
    echo "== fuzz_$target for $seconds s"
    if ! "$build/fuzz/fuzz_$target" "$corpus" -dict="$root/fuzz/vok.dict" -max_len=$max_len \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-artifacts/$target-"; then
        echo "fuzz_$target failed; the input is in $build/fuzz-artifacts" >&2
        status=1
    elif [[ ${VOK_FUZZ_UPDATE_CORPUS:-0} == 1 ]]; then
        merged=$build/fuzz-merged/$target
        rm -rf "$merged"
        mkdir -p "$merged"
        "$build/fuzz/fuzz_$target" -merge=1 -use_counters=0 -max_len=$max_len "$merged" \
            "$root/fuzz/corpus/$target" "$corpus"
        rm -rf "$root/fuzz/corpus/$target"
        mv "$merged" "$root/fuzz/corpus/$target"
    fi
done
exit $status
