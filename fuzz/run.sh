#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer, Qt's own assertions on) and runs each for a
# bounded time. The seeds are the test files and the shipped sample ride.
# Fails on a crash, a leak, a hang, or any difference between a reader and
# the reference reader; the input that did it is kept in the build directory.
#
#   VOK_FUZZ_BUILD   build directory (default: build-fuzz in the checkout)
#   VOK_FUZZ_SECONDS seconds per target (default: 60)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VOK_FUZZ_BUILD:-$root/build-fuzz}
seconds=${VOK_FUZZ_SECONDS:-60}

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
    -DCMAKE_BUILD_TYPE=Debug -DVOK_FUZZ=ON -DVOK_BUILD_TESTS=OFF -DVOK_BUILD_BENCH=OFF
cmake --build "$build" --target fuzz_session fuzz_turn -j "$(nproc)"

# Seeds: every test file as a single-turn file; every session of the test
# files and of examples/ with its single-turn files as a session input.
seeds=$build/fuzz-seeds
rm -rf "$seeds"
mkdir -p "$seeds/session" "$seeds/turn"
n=0
while IFS= read -r -d '' file; do
    n=$((n + 1))
    cp "$file" "$seeds/turn/$n"
done < <(find "$root/tests/data/data" "$root/examples" -type f -iname '*.csv' -print0 2>/dev/null)
n=0
while IFS= read -r -d '' session; do
    n=$((n + 1))
    {
        cat "$session"
        for turn in "$(dirname "$session")"/[Tt]_*.[cC][sS][vV]; do
            [[ -f $turn ]] || continue
            printf '\n~~~turn~~~\n'
            cat "$turn"
        done
    } > "$seeds/session/$n"
done < <(find "$root/tests/data/data" "$root/examples" -type f -name 'S_*.csv' -print0 2>/dev/null)

# Inputs that put multi-byte sequences and byte order marks right at
# QTextStream's 16 KiB block boundaries.
pad() { head -c "$1" /dev/zero | tr '\0' "$2"; }
{ pad 16382 a; printf '\xe2\x82,x\n\xef\xbb\xbf5,\xc3\xa9\n'; } > "$seeds/turn/boundary-1"
{ printf 'VOK_Single_Turn_file ,T_100407.10-31-02.csv\n'; pad 16339 '1'; printf '\n\xef\xbb\xbf#####\n'; } > "$seeds/turn/boundary-2"
{ pad 16383 ','; printf '\n\xf0\x9f\x98\x80\xe2\x82\n'; pad 16380 ','; printf '\xef\xbb\xbf1,2\r\n\xe2'; } > "$seeds/turn/boundary-3"
cp "$seeds/turn/boundary-1" "$seeds/session/boundary-1"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in session turn; do
    corpus=$build/fuzz-corpus/$target
    mkdir -p "$corpus" "$build/fuzz-artifacts"
    echo "== fuzz_$target for $seconds s"
    # Inputs up to 40000 bytes reach past QTextStream's first two 16 KiB
    # blocks; mutations may use that length from the start.
    if ! "$build/fuzz/fuzz_$target" "$corpus" "$seeds/$target" \
        -dict="$root/fuzz/vok.dict" -max_len=40000 -len_control=0 -max_total_time="$seconds" -timeout=20 \
        -rss_limit_mb=4096 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-artifacts/$target-"; then
        echo "fuzz_$target failed; the input is in $build/fuzz-artifacts" >&2
        status=1
    fi
done
exit $status
