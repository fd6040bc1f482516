#!/usr/bin/env bash
# Line and branch coverage of the logic (calculator/, vat/, desk/, margin/ and options/ without
# their window classes) by the whole test suite: a gcc build with --coverage, every test, then
# gcovr.
#
#   bash scripts/coverage.sh                 # summary, uncovered lines, HTML report
#   COVERAGE_BUILD=build-x bash scripts/coverage.sh
#
# The HTML report (every line and branch) lands in <build>/coverage/index.html.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${COVERAGE_BUILD:-build-coverage}
jobs=${JOBS:-$(nproc)}
bash scripts/setup.sh

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=g++ \
    -DCMAKE_CXX_FLAGS="--coverage -fno-inline" -DCMAKE_EXE_LINKER_FLAGS="--coverage" >/dev/null
cmake --build "$build" -j "$jobs"
# Counts of an earlier run would add up with this one's.
find "$build" -name '*.gcda' -delete
ctest --test-dir "$build" -j "$jobs" --output-on-failure

# The logic libraries; the window classes beside them are the windows' (tested, not measured).
filters=(--filter 'calculator/' --filter 'vat/' --filter 'desk/' --filter 'margin/' --filter 'options/'
         --exclude '.*/Form[0-9]?[A-Za-z]*\.(cpp|h)$' --exclude '.*/frmAbout.*'
         --exclude '.*/wrappingbutton.*' --exclude '.*_autogen/.*')
# Branches that only an exception thrown by the C++ library or Qt (out of memory) could take, and
# branches the compiler adds on lines without code, are not the program's decisions.
common=(-r . "$build" "${filters[@]}" --exclude-throw-branches --exclude-unreachable-branches)

mkdir -p "$build/coverage"
echo "== branches (file, branches, taken, %, lines with a branch not taken) =="
gcovr "${common[@]}" --branches --txt "$build/coverage/branches.txt" --print-summary
sed -n '/^-/,$p' "$build/coverage/branches.txt"
echo "== lines =="
gcovr "${common[@]}" --txt "$build/coverage/lines.txt" \
    --html-details "$build/coverage/index.html" --print-summary >/dev/null
sed -n '/^-/,$p' "$build/coverage/lines.txt"
echo "HTML report: $build/coverage/index.html"
