#!/usr/bin/env bash
# Tarvex.exe under Wine, as a user on a French Windows meets it, from a folder whose path has an
# accent and blanks: the calculator shows, 100 TTC at the rate of the Taux.ini beside it gives
# 119,6 (read back through the clipboard), Ctrl+R opens the tape window, the "TVA" button the
# options window, whose Validez writes Taux.ini back with CR LF lines. Nothing goes to the
# registry, and the tape goes to the user's local folder.
#
# Usage: program.sh Tarvex.exe [pictures folder]. Exits with 77 when a tool it needs is missing.
set -euo pipefail
exe=$(realpath "$1")
out=${2:-screenshots}
here=$(cd "$(dirname "$0")" && pwd)

for tool in wine Xvfb openbox xdotool xclip import; do
    command -v "$tool" >/dev/null || { echo "program: $tool is missing" >&2; exit 77; }
done
mkdir -p "$out"
out=$(realpath "$out")
source "$here/wine-session.sh"
start_wine_session program

# The program's folder, and the user's folders inside the Wine prefix.
folder="$work/Hélène/Bureau/Tarvex portable"
mkdir -p "$folder"
cp "$exe" "$folder/Tarvex.exe"
printf '19.60\n5.5\n' >"$folder/Taux.ini" # as a Unix editor would leave it: LF only
users="$WINEPREFIX/drive_c/users/$(id -un)"

start_desktop
window() { timeout 40 xdotool search --sync --onlyvisible --name "^$1\$" | head -n1; }
start_program "$folder/Tarvex.exe" Tarvex && main=$program_window || main=
geometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; }
click() { geometry "$1"; xdotool mousemove $((X + $2)) $((Y + $3)) click 1; sleep 0.4; }

[ -n "$main" ] || { import -window root "$out/no-window.png"; cat "$work/program.log" >&2; fail "the calculator did not appear"; }
sleep 1
click "$main" 28 188 # 1
click "$main" 28 220 # 0
click "$main" 28 220 # 0
click "$main" 51 284 # TTC
xdotool mousemove 0 0
sleep 0.5
import -window root "$out/main-window.png"
xdotool key --window "$main" ctrl+c
sleep 0.5
copied=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
[ "$copied" = "119,6" ] || fail "100 TTC at 19,6 % copied \"$copied\", not \"119,6\""
echo "program: 100 TTC gives 119,6 under French settings"

xdotool key --window "$main" ctrl+r
tape=$(window "Tarvex - Ruban") || fail "Ctrl+R opened no tape window"
sleep 1
import -window root "$out/tape-window.png"
echo "program: the tape window opened"
xdotool key --window "$tape" ctrl+r
sleep 0.5

click "$main" 73 32 # TVA
options=$(window "Tarvex 3.1") || fail "the options window did not appear"
sleep 0.5
import -window root "$out/options-window.png"
echo "program: the options window opened"

# Validez stores the rates and closes the window: the LF-only Taux.ini comes back in the
# program's own form, CR LF. Wine draws this window's caption itself, inside the window that X
# sees: the button lies a caption lower than in the form.
geometry "$options"
xdotool mousemove $((X + 114)) $((Y + 109)) click 1
for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^Tarvex 3\.1$' >/dev/null 2>&1 || break
    sleep 0.2
done
[ "$(od -An -c "$folder/Taux.ini" | tr -s ' \n' ' ')" = " 1 9 . 6 \r \n 5 . 5 \r \n " ] ||
    fail "Validez left Taux.ini as: $(od -An -c "$folder/Taux.ini")"
echo "program: Validez wrote Taux.ini beside the program, with CR LF lines"

# Where the rest went: the tape in the local folder, the settings in an INI file.
grep -q TVX1 "$users/AppData/Local/Tarvex/ruban.txt" 2>/dev/null ||
    fail "no tape in %LOCALAPPDATA%\\Tarvex"
wineserver -k 2>/dev/null || true # the registry is saved as Windows stops
sleep 1
! grep -qi 'Software\\\\Tarvex' "$WINEPREFIX/user.reg" || fail "settings were written to the registry"
echo "program: the tape in %LOCALAPPDATA%\\Tarvex, no setting in the registry"
echo "program: pictures in $out"
