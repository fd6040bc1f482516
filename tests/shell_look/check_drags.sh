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

# A screen of its own: Xvfb picks a free display number and tells it.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

HOME=$work XDG_CONFIG_HOME=$work openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# openbox announces itself on the root window once it manages the screen.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done

QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 LANG=C.UTF-8 timeout 240 "$test_program"
