#!/usr/bin/env bash
# Takes the screenshots of the real program (scripts/screenshots.sh) into a folder of the build
# and checks that each window was captured at its size, its artwork shown. Skipped (77) where
# the virtual screen or its tools are missing.
#
# Usage: check_screenshots.sh PROGRAM SOURCE_FOLDER OUTPUT_FOLDER
set -euo pipefail
program=$1
source=$2
out=$3
rm -rf "$out"
status=0
bash "$source/scripts/screenshots.sh" "$program" "$out" || status=$?
if [ $status -eq 77 ]; then
    echo "SKIP: no virtual screen to take the screenshots on"
    exit 77
fi
[ $status -eq 0 ] || exit $status

failures=0
check() { # check FILE WIDTH HEIGHT: the picture's size, and more than a few colours in it
    local size colours
    size=$(identify -format '%wx%h' "$out/$1")
    [ "$size" = "$2x$3" ] || { echo "FAIL: $1 is $size, not $2x$3" >&2; failures=$((failures + 1)); }
    colours=$(convert "$out/$1" -alpha off -unique-colors -format '%w' info:)
    [ "$colours" -gt 50 ] || { echo "FAIL: $1 holds only $colours colours" >&2; failures=$((failures + 1)); }
}
check main-window.png 219 328
check margin-window.png 402 328
check both-windows.png 621 328
check options-window.png 231 200
# The corners outside the rounded outline are see-through.
corner=$(convert "$out/main-window.png" -format '%[fx:int(255*p{0,0}.a)]' info:)
[ "$corner" = 0 ] || { echo "FAIL: the main window's corner is not transparent" >&2; failures=$((failures + 1)); }
[ $failures -eq 0 ] && echo "screenshots checked in $out"
exit $((failures > 0))
