#!/usr/bin/env bash
# Benchmarks: the logic's routines and the tape window (Google Benchmark), and the start-up of the
# program beside the bare Qt floor, measured in the same run (../shared/bench/startup.sh under Xvfb).
#
#   bash quality/bench.sh            # both
#   bash quality/bench.sh logic      # the routines only
#   bash quality/bench.sh startup    # the start-up only; TRIALS=15 by default
#   bash quality/bench.sh windows    # Tarvex.exe under Wine: the routines, and the start-up
#                                    # beside the bare Qt floor built with the same static kit
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

if [ "$what" = windows ]; then
    # Wine's figures are not Windows figures: Wine translates every window and drawing call to X,
    # and runs on this machine's Linux. They compare Tarvex.exe with the floor under the same
    # Wine, and the routines with the Linux build of the same tree.
    kit=$(bash scripts/windows-kit.sh | tail -n1)
    export TARVEX_WINDOWS_KIT=$kit
    # Google Benchmark for MinGW, from Debian's own source package, built once beside the kit.
    gbench=$kit-benchmark
    if [ ! -f "$gbench/.complete" ]; then
        rm -rf "$gbench" "$gbench-work"
        mkdir -p "$gbench-work"
        (cd "$gbench-work" && apt-get source --download-only benchmark >&2)
        dpkg-source --no-check -x "$gbench-work"/benchmark_*.dsc "$gbench-work/src" >/dev/null
        version=$(dpkg-parsechangelog -l "$gbench-work/src/debian/changelog" -S Version)
        cmake -S "$gbench-work/src" -B "$gbench-work/build" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$(pwd)/cmake/mingw-w64-x86_64.cmake" \
            -DCMAKE_BUILD_TYPE=Release -DGIT_VERSION="${version%%-*}" -DBUILD_SHARED_LIBS=OFF \
            -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
            -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_INSTALL_DOCS=OFF \
            -DCMAKE_INSTALL_PREFIX="$gbench" >/dev/null
        cmake --build "$gbench-work/build" -j "$jobs" >/dev/null
        cmake --install "$gbench-work/build" >/dev/null
        touch "$gbench/.complete"
        rm -rf "$gbench-work"
    fi
    build=$(realpath -m "$prefix-windows-bench")
    cmake --preset windows-release -B "$build" -DTARVEX_BENCH=ON -DBUILD_TESTING=OFF \
        -Dbenchmark_DIR="$gbench/lib/cmake/benchmark" >/dev/null
    cmake --build "$build" --target tarvex tarvex_bench tarvex_bench_window -j "$jobs"
    floor=$build/qt_floor
    cmake -S "$shared/bench/qt_floor" -B "$floor" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$kit/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$(pwd)/cmake/mingw-w64-x86_64.cmake" \
        "-DCMAKE_EXE_LINKER_FLAGS=-static -mwindows -s" >/dev/null
    cmake --build "$floor" -j "$jobs"

    # One Windows for the whole run, made once.
    export WINEPREFIX=$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
    wineserver -k 2>/dev/null || true
    trap 'wineserver -k 2>/dev/null || true' EXIT
    echo "== routines under Wine (Release, Google Benchmark) =="
    wine "$build/tarvex_bench.exe" --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 \
        --benchmark_filter="${BENCH_FILTER:-.}" 2>/dev/null | tr -d '\r' |
        grep -E '^(Benchmark|-|Run on|Load)|_median' || true
    # The tape window's benchmark is not run here: under Wine on Xvfb it shows nothing and
    # never ends, even for its shortest case; its Linux figures stand for it.
    echo "== start-up under Wine beside the Qt floor (Xvfb) =="
    ls -l "$build/Tarvex.exe" "$floor/qt_floor.exe" | awk '{ print $5, $NF }'
    # Windows is up before the user starts a program: the Wine server and its session's processes
    # run for the whole measure, started on the measure's screen in the window manager's place.
    session="env WINEPREFIX=$WINEPREFIX WINEDEBUG=-all sh -c 'wineserver -p; wineboot; exec sleep 1d'"
    "$shared/bench/startup.sh" -n "${TRIALS:-15}" -H keep -o "$build/startup" -w "$session" \
        -e WINEPREFIX="$WINEPREFIX" -e WINEDEBUG=-all -e "WINEDLLOVERRIDES=$WINEDLLOVERRIDES" \
        "@tarvex wine $build/Tarvex.exe" "@floor wine $floor/qt_floor.exe"
    echo "(every trial: $build/startup/raw.tsv)"
fi
