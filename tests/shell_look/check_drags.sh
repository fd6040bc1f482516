#!/usr/bin/env bash
# Runs the desktop drag test (test_drag_desktop) on a virtual screen with a real window manager
# (Xvfb and openbox), where the window manager's own move loop moves the windows. Skipped (77)
# where the virtual screen, the window manager or xdotool is missing.
#
# Usage: check_drags.sh TEST_PROGRAM
set -euo pipefail
test_program=$1

for tool in Xvfb openbox xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is missing (packages xvfb, openbox, xdotool)"
        exit 77
    fi
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/../../scripts/virtual-screen.sh"
start_virtual_screen "$work" 1280x800 || exit 1
pids+=("${virtual_screen_pids[@]}")

HOME=$work XDG_CONFIG_HOME=$work openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# openbox announces itself on the root window once it manages the screen.
for _ in $(seq 1200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done

QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 LANG=C.UTF-8 timeout 540 "$test_program"
