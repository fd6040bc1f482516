#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: a normal build, and a build with
# AddressSanitizer and UndefinedBehaviorSanitizer; then runs each fuzz target briefly, checks
# the layout of the C++ files, and builds and checks the Debian package; last, the Windows
# build: Tarvex.exe and the logic's suites under Wine, the installer and the portable zip (the
# static Qt it links is built once, about 17 minutes, and kept outside the checkout).
#
#   FUZZ_SECONDS=60 bash scripts/test.sh    # a longer fuzz stage (default 20 s per target)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh windows
jobs=$(nproc)
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

# Runs a build's suites, keeping CTest's summary for the closing count.
run_tests() {
    local build=$1
    ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$jobs" | tee "$logs/$build.log"
}

echo "== normal build =="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON >/dev/null
cmake --build build -j "$jobs"
run_tests build

echo "== sanitizer build =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVEX_SANITIZE=ON \
    -DBUILD_TESTING=ON >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 run_tests build-asan

echo "== fuzzing (clang, libFuzzer) =="
FUZZ_BUILD=build-fuzz bash quality/fuzz.sh "${FUZZ_SECONDS:-20}"

echo "== layout check (clang-format) =="
bash quality/format-check.sh

echo "== Debian package =="
bash tests/package/check-package.sh

echo "== Windows =="
bash scripts/windows.sh --no-test
ctest --test-dir build-windows --output-on-failure --no-tests=error -j "$jobs" | tee "$logs/build-windows.log"
bash tests/windows/check-installer.sh dist/Tarvex-*-win64-setup.exe dist/Tarvex-*-win64-portable.zip

# Both builds' suites in one closing line.
awk '/tests passed, [0-9]+ tests failed out of/ { total += $NF; failed += $4 }
     END { printf "tests: %d passed, %d failed\n", total - failed, failed }' "$logs"/*.log
