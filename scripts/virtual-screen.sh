# A virtual screen of its own, for the scripts and tests that show the real program (sourced).
#
# start_virtual_screen FOLDER WIDTHxHEIGHT [Xvfb option ...]: starts Xvfb on a display number it
# picks itself (so that runs side by side never meet), with its log in FOLDER; adds its process
# to virtual_screen_pids and exports DISPLAY.
virtual_screen_pids=()
start_virtual_screen() {
    local folder=$1 size=$2
    shift 2
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp "$@" 3>"$folder/display" \
        2>"$folder/xvfb.log" &
    virtual_screen_pids+=($!)
    # Up to 60 s on a loaded machine; a screen that starts at once is used at once.
    for _ in $(seq 1200); do [ -s "$folder/display" ] && break; sleep 0.05; done
    [ -s "$folder/display" ] || { echo "Xvfb did not start" >&2; cat "$folder/xvfb.log" >&2; return 1; }
    export DISPLAY=":$(head -n1 "$folder/display")"
}
