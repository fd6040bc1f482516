#!/usr/bin/env bash
# Benchmarks: the logic's routines and the tape window (Google Benchmark), and the start-up of the
# program beside the bare Qt floor, measured in the same run (../shared/bench/startup.sh under Xvfb).
#
#   bash quality/bench.sh            # both
#   bash quality/bench.sh logic      # the routines only
#   bash quality/bench.sh startup    # the start-up only; TRIALS=15 by default
#
# Release builds go to build-bench/ (the routines) and build-rel/ (the program), or under the
# prefix given by BENCH_BUILD (BENCH_BUILD=build-x gives build-x-bench and build-x-rel).
set -euo pipefail
cd "$(dirname "$0")/.."

what=${1:-all}
jobs=${JOBS:-$(nproc)}
prefix=${BENCH_BUILD:-build}
shared=${SHARED:-../shared}
bash scripts/setup.sh

if [ "$what" = all ] || [ "$what" = logic ]; then
    echo "== routines (Release, Google Benchmark) =="
    cmake -S . -B "$prefix-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVEX_BENCH=ON \
        -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$prefix-bench" --target tarvex_bench -j "$jobs"
    # Medians of five runs: the machine is shared, a single run can catch a busy moment.
    "$prefix-bench/tarvex_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_min_time=0.2 --benchmark_filter="${BENCH_FILTER:-.}" |
        grep -E '^(Benchmark|-|Run on|Load)|_median' || true
    echo "== the tape window on a long tape (Release, offscreen) =="
    cmake --build "$prefix-bench" --target tarvex_bench_window -j "$jobs"
    "$prefix-bench/tarvex_bench_window" --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 |
        grep -E '^(Benchmark|-|Run on|Load)|_median' || true
fi

if [ "$what" = all ] || [ "$what" = startup ]; then
    echo "== start-up beside the Qt floor (Xvfb) =="
    cmake -S . -B "$prefix-rel" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$prefix-rel" --target tarvex -j "$jobs"
    floor="$prefix-bench/qt_floor"
    cmake -S "$shared/bench/qt_floor" -B "$floor" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$floor" -j "$jobs"
    "$shared/bench/startup.sh" -n "${TRIALS:-15}" -o "$prefix-bench/startup" \
        "@tarvex $(pwd)/$prefix-rel/tarvex" "@floor $(pwd)/$floor/qt_floor"
    echo "(every trial: $prefix-bench/startup/raw.tsv)"
fi
