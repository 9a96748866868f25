#!/usr/bin/env bash
# Installs what is missing, builds VOK and starts it in the folder of the
# shipped sample ride, so that File > Open... starts there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOK_BUILD_TESTS=OFF -DVOK_BUILD_BENCH=OFF
cmake --build "$root/build" --target vok -j "$(nproc)"
cd "$root/examples"
exec "$root/build/vok" "$@"
