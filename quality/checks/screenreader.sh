#!/usr/bin/env bash
# Checks that a screen reader can follow a correction made in the tape window: starts the real
# program on a virtual screen of its own, with a window manager, a session bus and the
# accessibility bus (AT-SPI, what Orca listens to), then screenreader.py keys 100+20+30= on the
# calculator, opens the tape, corrects 20 into 25 with F2 and Enter, and listens to the bus.
# Fails unless the bus told the editor's name, "corrigé" on the corrected line and the new
# result 155.
#
# Usage: quality/checks/screenreader.sh [program [folder for the pictures]]
#        (default: build/tarvex, pictures kept only when a folder is given)
# TARVEX_SCREENREADER_ARGS passes options on to screenreader.py (--editor, --corrected, --result:
# the texts it listens for).
# Needs the packages xvfb, openbox, xdotool, dbus-daemon (dbus-run-session), at-spi2-core,
# gir1.2-atspi-2.0, python3-gi and, for the pictures, imagemagick. Exits with 77 when one is
# missing. Not part of CI: a developer runs it after touching what the tape window tells.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "${1:-$here/../../build/tarvex}")
shots=${2:-}

# The accessibility bus lives inside a session bus: the script runs itself again inside one.
if [ -z "${TARVEX_SCREENREADER_SESSION:-}" ]; then
    for tool in Xvfb openbox xdotool dbus-run-session /usr/libexec/at-spi-bus-launcher; do
        if ! command -v "$tool" >/dev/null; then
            echo "screenreader: $tool is missing (packages xvfb, openbox, xdotool, dbus-daemon," \
                "at-spi2-core)" >&2
            exit 77
        fi
    done
    if ! /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null; then
        echo "screenreader: python3-gi and gir1.2-atspi-2.0 are missing" >&2
        exit 77
    fi
    [ -x "$program" ] || { echo "screenreader: no program at $program" >&2; exit 1; }
    [ -z "$shots" ] || shots=$(mkdir -p "$shots" && cd "$shots" && pwd)
    TARVEX_SCREENREADER_SESSION=1 exec dbus-run-session -- bash "$0" "$program" "$shots"
fi

work=$(mktemp -d)
pids=()
cleanup() {
    # The accessibility bus's own daemon and registry are the launcher's children.
    for pid in "${pids[@]}"; do
        for child in $(pgrep -P "$pid" || true); do kill "$child" 2>/dev/null || true; done
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

source "$here/../../scripts/virtual-screen.sh"
start_virtual_screen "$work" 1024x768 || exit 1
pids+=("${virtual_screen_pids[@]}")
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
pids+=($!)
sleep 1

# A user of its own (settings, tape file) and French settings, so that amounts show a comma.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
LC_ALL=fr_FR.UTF-8 LANG=fr_FR.UTF-8 QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")

status=0
/usr/bin/python3 "$here/screenreader.py" --pid "$program_pid" ${shots:+--shots "$shots"} \
    ${TARVEX_SCREENREADER_ARGS:-} || status=$?
if [ "$status" -ne 0 ] && [ -s "$work/program.log" ]; then
    echo "--- the program's output" >&2
    cat "$work/program.log" >&2
fi
exit "$status"
