#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each one for a while, starting from the committed corpus.
#
#   bash quality/fuzz.sh            # 20 s per target, as CI does
#   bash quality/fuzz.sh 600        # a longer run: 10 minutes per target
#   FUZZ_BUILD=/tmp/fz bash quality/fuzz.sh 60 fuzz_engine   # one target, another build folder
#
# New inputs found during the run go to a scratch corpus in the build folder, never into the
# committed one; a failing input is kept there as crash-*/timeout-*/oom-* and the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
shift || true
build=${FUZZ_BUILD:-build-fuzz}
jobs=${JOBS:-$(nproc)}

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARVEX_SANITIZE=ON -DTARVEX_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target tarvex_fuzz -j "$jobs"

# The longest input worth trying per target: a number text, a rate file, a key sequence, a tape
# file (pieces of junk and labels).
declare -A max_len=([fuzz_numbertext]=256 [fuzz_ratefile]=4096 [fuzz_engine]=512
    [fuzz_tapefile]=8192)

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for t in "${!max_len[@]}"; do
        [ -x "$build/$t" ] && targets+=("$t")
    done
fi
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz target was built" >&2; exit 1; }

failed=0
for t in $(printf '%s\n' "${targets[@]}" | sort); do
    name=${t#fuzz_}
    scratch="$build/fuzz-corpus/$name"
    artifacts="$build/fuzz-artifacts/$name/"
    mkdir -p "$scratch" "$artifacts"
    echo "== $t: ${seconds}s =="
    # Bounded memory and time per input: a rate file or a key sequence that needs more than
    # a 512 MiB block or 5 s is a fault in itself.
    if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$build/$t" -max_total_time="$seconds" -max_len="${max_len[$t]:-1024}" -timeout=5 \
        -rss_limit_mb=2048 -malloc_limit_mb=512 -print_final_stats=1 \
        -artifact_prefix="$artifacts" "$scratch" "quality/fuzz/corpus/$name" \
        >"$build/fuzz-$name.log" 2>&1; then
        grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)' \
            "$build/fuzz-$name.log" || true
    else
        echo "$t FAILED; input kept in $artifacts; log: $build/fuzz-$name.log" >&2
        grep -E -A3 'invariant broken|ERROR:|SUMMARY' "$build/fuzz-$name.log" | head -20 >&2 || true
        failed=1
    fi
done
exit $failed
