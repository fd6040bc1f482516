#!/usr/bin/env bash
# Static checks of the program's own C++: clang-tidy (the checks in .clang-tidy) and cppcheck,
# then the layout check. Lists every finding and fails when there is one.
#
#   bash scripts/static-checks.sh
#   STATIC_BUILD=build-x bash scripts/static-checks.sh
#
# clang-tidy needs the compile commands of the program, its tests, fuzz targets and benchmarks,
# and the files that uic and moc generate: both come from a clang build folder.
set -uo pipefail
cd "$(dirname "$0")/.."

build=${STATIC_BUILD:-build-static}
jobs=${JOBS:-$(nproc)}
root=$(pwd)
bash scripts/setup.sh || exit 1

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
    -DTARVEX_FUZZ=ON -DTARVEX_BENCH=ON >/dev/null || exit 1
# clang-tidy needs what moc and uic generate, not the libraries: run each target's moc and uic
# step directly, so that a file that does not compile (a clang-tidy finding like any other) does
# not keep the files of the targets that link it from being generated.
find "$(cd "$build" && pwd)" -name AutogenInfo.json -path '*_autogen.dir/*' | while read -r info; do
    (cd "$(dirname "$(dirname "$(dirname "$info")")")" && cmake -E cmake_autogen "$info" Debug) ||
        echo "moc/uic failed for $info" >&2
done >"$build/static-autogen.log" 2>&1

status=0

echo "== clang-tidy ($(clang-tidy --version | grep -o 'version [0-9.]*')) =="
# Only the sources in the project's folders, never what the build generates.
sources="^$(printf '%s' "$root" | sed 's/[.[\*^$()+?{|]/\\&/g')/(calculator|vat|desk|margin|options|shell|quality|tests)/.*\.cpp$"
run-clang-tidy -p "$build" -j "$jobs" -quiet "$sources" >"$build/clang-tidy.log" 2>&1
# A header's finding is reported once per file that includes it: keep each once.
sed 's/\x1b\[[0-9;]*m//g' "$build/clang-tidy.log" | grep -E '^/.*: (warning|error): ' |
    sed "s|^$root/||" | sort -u >"$build/clang-tidy-findings.txt"
if [ -s "$build/clang-tidy-findings.txt" ]; then
    cat "$build/clang-tidy-findings.txt"
    echo "clang-tidy: $(wc -l <"$build/clang-tidy-findings.txt") finding(s); details in $build/clang-tidy.log"
    status=1
else
    echo "clang-tidy: no finding"
fi

echo "== cppcheck ($(cppcheck --version)) =="
cppcheck --std=c++20 --language=c++ --library=qt -I . --enable=warning,style,performance,portability \
    --inline-suppr --suppressions-list=quality/cppcheck-suppressions.txt --quiet -j "$jobs" \
    --template='{file}:{line}: {severity}: {message} [{id}]' --error-exitcode=1 \
    calculator vat desk margin options shell quality tests 2>"$build/cppcheck-findings.txt"
if [ -s "$build/cppcheck-findings.txt" ]; then
    sort -u "$build/cppcheck-findings.txt"
    echo "cppcheck: $(sort -u "$build/cppcheck-findings.txt" | wc -l) finding(s)"
    status=1
else
    echo "cppcheck: no finding"
fi

echo "== layout (clang-format) =="
bash quality/format-check.sh || status=1
exit $status
