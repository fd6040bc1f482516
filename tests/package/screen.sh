# Driving the installed or extracted program on a virtual screen, for the package checks (sourced
# by tests/package/check-package.sh and scripts/package-trial.sh). Clicks are in the program's
# own units, at scale 1 on a screen without a window manager, where a window's origin is its
# first pixel.

screen_pids=()

# start_screen LOG_FOLDER: a screen of its own (Xvfb picks a free display number), in DISPLAY.
# Any local user may draw on it, so that the trial can start the program as a throwaway user.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/virtual-screen.sh"
start_screen() {
    start_virtual_screen "$1" 1280x800 -ac || return 1
    screen_pids+=("${virtual_screen_pids[@]}")
}

stop_screen() {
    local pid
    for pid in "${screen_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    screen_pids=()
}

# window TITLE_REGEX: the id of a visible window whose whole title matches, waiting up to 15 s.
window() {
    timeout 15 xdotool search --sync --onlyvisible --name "^$1\$" | head -n1
}

# wait_gone ID: waits up to 30 s for a window to close.
wait_gone() {
    for _ in $(seq 300); do
        xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
        xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
    return 1
}

click() { # click ID X Y
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + $2)) $((Y + $3)) click 1
    sleep 0.3
}

# replace_field ID X Y TEXT: clicks into a number field and types TEXT over what it holds. The
# fields drop every typed control character (Ctrl+A included), so the selection is made with
# Shift+Home, which types nothing.
replace_field() {
    click "$1" "$2" "$3"
    xdotool key End shift+Home
    xdotool type "$4"
}

# store_rates MAIN [FIRST SECOND]: opens the options window with the main window's "TVA" button,
# types the two rates when given, and validates; fails when the window does not close (a refused
# rate).
store_rates() {
    local options
    click "$1" 73 32
    options=$(window 'Tarvex [0-9.]+') ||
        { echo "the options window did not appear" >&2; return 1; }
    sleep 0.3
    if [ $# -ge 3 ]; then
        replace_field "$options" 55 51 "$2"
        replace_field "$options" 167 51 "$3"
    fi
    click "$options" 111 90
    wait_gone "$options" || { echo "the options window refused the rates" >&2; return 1; }
}

# shoot FILE: a picture of the whole screen.
shoot() {
    import -window root "$1"
}
