#!/usr/bin/env bash
# Checks that every tracked C++ file is laid out as the root .clang-format says, without changing
# anything. Lists the files that differ and fails when there is one.
#
#   bash quality/format-check.sh            # every tracked .cpp and .h
#   bash quality/format-check.sh -v         # and show how each differs
set -euo pipefail
cd "$(dirname "$0")/.."

verbose=0
[ "${1:-}" = "-v" ] && verbose=1

differ=()
while IFS= read -r f; do
    [ -f "$f" ] || continue
    if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
        differ+=("$f")
        [ "$verbose" = 1 ] && clang-format "$f" | diff -u "$f" - || true
    fi
done < <(git ls-files '*.cpp' '*.h')

if [ ${#differ[@]} -gt 0 ]; then
    echo "Not laid out as .clang-format says (fix with: clang-format -i FILE):"
    printf '  %s\n' "${differ[@]}"
    exit 1
fi
echo "Every tracked C++ file follows .clang-format ($(clang-format --version | head -1))."
