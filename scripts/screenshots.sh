#!/usr/bin/env bash
# Starts the real program on a virtual screen (Xvfb, no window manager), keys in an amount and
# turns it into a price with VAT, opens the margin and options windows with their buttons, and
# saves a picture of each window:
#
#   main-window.png      the calculator (shown by the README)
#   margin-window.png    the margin window
#   both-windows.png     the calculator with the margin window docked to it
#   options-window.png   the options window
#
# Usage: scripts/screenshots.sh [program [output folder]]   (default: build/tarvex docs)
# TARVEX_SCALE=2 takes the pictures at 200 %. Exits with 77 when a tool it needs is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/tarvex}")
out=${2:-docs}
scale=${TARVEX_SCALE:-1}

for tool in Xvfb xdotool import convert; do
    if ! command -v "$tool" >/dev/null; then
        echo "screenshots: $tool is missing (packages xvfb, xdotool, imagemagick)" >&2
        exit 77
    fi
done
[ -x "$program" ] || { echo "screenshots: no program at $program" >&2; exit 1; }
mkdir -p "$out"

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/virtual-screen.sh"
start_virtual_screen "$work" $((1024 * scale))x$((768 * scale)) || exit 1
pids+=("${virtual_screen_pids[@]}")

# French settings, so that amounts show a decimal comma.
LC_ALL=fr_FR.UTF-8 LANG=fr_FR.UTF-8 QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" \
    "$program" >"$work/program.log" 2>&1 &
pids+=($!)

window() { # window NAME: the id of the visible window with that exact title
    timeout 15 xdotool search --sync --onlyvisible --name "^$1\$" | head -n1
}
geometry() { # geometry ID: sets X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$1")"
}
click() { # click ID X Y: a left click at a point of the window, in the program's own units
    geometry "$1"
    xdotool mousemove $((X + $2 * scale)) $((Y + $3 * scale)) click 1
    sleep 0.3
}
shoot() { # shoot FILE ID [ID]: the screen area of the windows, the desktop behind transparent
    local left=100000 top=100000 right=0 bottom=0
    for id in "${@:2}"; do
        geometry "$id"
        left=$((X < left ? X : left)); top=$((Y < top ? Y : top))
        right=$((X + WIDTH > right ? X + WIDTH : right))
        bottom=$((Y + HEIGHT > bottom ? Y + HEIGHT : bottom))
    done
    import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
        "$work/shot.png"
    # The empty screen is black; what is black and touches a corner lies outside the windows'
    # rounded outlines.
    convert "$work/shot.png" -alpha set -fill none -fuzz 0 \
        -draw "color 0,0 floodfill" -draw "color $((right - left - 1)),0 floodfill" \
        -draw "color 0,$((bottom - top - 1)) floodfill" \
        -draw "color $((right - left - 1)),$((bottom - top - 1)) floodfill" \
        -define png:exclude-chunks=date,time "$1"
    echo "screenshots: $1"
}

main=$(window Tarvex) || { echo "screenshots: the calculator did not appear" >&2; cat "$work/program.log" >&2; exit 1; }
sleep 0.5
# 100, then the TTC key: the price with VAT at the first rate.
click "$main" 28 188   # 1
click "$main" 28 220   # 0
click "$main" 28 220   # 0
click "$main" 51 284   # TTC
xdotool mousemove 0 0
sleep 0.3
shoot "$out/main-window.png" "$main"

click "$main" 124 32   # Options
margin=$(window Form2) || { echo "screenshots: the margin window did not appear" >&2; exit 1; }
xdotool mousemove 0 0
sleep 0.5
shoot "$out/margin-window.png" "$margin"
shoot "$out/both-windows.png" "$main" "$margin"

click "$main" 73 32    # TVA
options=$(window "Tarvex 3.1") || { echo "screenshots: the options window did not appear" >&2; exit 1; }
xdotool mousemove 0 0
sleep 0.5
shoot "$out/options-window.png" "$options"
