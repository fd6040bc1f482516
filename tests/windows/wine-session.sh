# A Windows of its own under Wine, for the scripts that try Tarvex.exe (sourced): a fresh
# prefix in a scratch folder, set up with French settings, and stopped with everything started
# from it when the script ends, so that stopping it stops nothing else.
#
# start_wine_session NAME: makes $work and $WINEPREFIX, runs wineboot; NAME starts its messages.
# start_desktop: a virtual screen with openbox on it.
# start_program EXE TITLE: starts EXE with French settings and puts its window's id in
#   $program_window. Wine's first start of a program in a new prefix now and then shows
#   nothing, so it is started again, at most twice more, before this gives up (returns 1).
# fail MESSAGE: says what went wrong and ends the script.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
pids=()
program_window=

start_wine_session() {
    session_name=$1
    work=$(mktemp -d)
    export WINEPREFIX=$work/wine
    trap stop_wine_session EXIT
    LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 wineboot -i >"$work/wineboot.log" 2>&1 ||
        { cat "$work/wineboot.log" >&2; fail "wineboot failed"; }
}

stop_wine_session() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wineserver -k 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}

fail() {
    echo "$session_name: $*" >&2
    exit 1
}

start_desktop() {
    source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/virtual-screen.sh"
    start_virtual_screen "$work" 1024x768 || exit 1
    pids+=("${virtual_screen_pids[@]}")
    openbox >"$work/openbox.log" 2>&1 &
    pids+=($!)
    sleep 1
}

start_program() {
    local exe=$1 title=$2
    for attempt in 1 2 3; do
        LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 wine "$exe" >"$work/program.log" 2>&1 &
        pids+=($!)
        program_window=$(timeout 40 xdotool search --sync --onlyvisible --name "^$title\$" | head -n1) &&
            [ -n "$program_window" ] && return 0
        echo "$session_name: no window at start $attempt" >&2
        wineserver -k 2>/dev/null || true
        sleep 1
    done
    return 1
}
