#!/usr/bin/env bash
# Counts the non-blank lines of C++ and shell in the repository (the files git
# tracks, plus new ones it does not ignore) and prints how much of it is tests.
#   tools/code-share.sh
set -euo pipefail
cd "$(dirname "$0")/.."

files=$(git ls-files --cached --others --exclude-standard -- \
    '*.cpp' '*.h' '*.sh' '.ci/run' | sort -u)

count() { # count PATTERN: non-blank lines of the files whose path matches
    local total=0 n
    while IFS= read -r file; do
        [[ -f "$file" ]] || continue
        n=$(grep -cv '^[[:space:]]*$' "$file" || true)
        total=$((total + n))
    done < <(grep -E "$1" <<<"$files" || true)
    echo "$total"
}

all=$(count '.')
tests=$(count '^tests/')
printf '%-10s %6s\n' area lines
for area in app data plots turn options output tools bench fuzz desktop tests; do
    printf '%-10s %6s\n' "$area" "$(count "^$area/")"
done
printf '%-10s %6s\n' other "$(count '^[^/]*$|^\.ci/')"
printf '%-10s %6s\n' all "$all"
awk -v t="$tests" -v a="$all" 'BEGIN { printf "tests share: %.1f%% (%d of %d)\n", 100 * t / a, t, a }'
