#!/usr/bin/env bash
# What a Windows user downloads, tried under Wine on a virtual screen: the installer run silently
# (/S) puts the program, the shop's rates, the Start-menu entry, the desktop shortcut and the
# uninstaller's entry in place; the installed program shows its window; installing again keeps a
# Taux.ini the shop edited; the uninstaller leaves nothing but the user's own files. The portable
# zip holds its four files, with the shop's rates.
#
# Usage: check-installer.sh Tarvex-<version>-win64-setup.exe Tarvex-<version>-win64-portable.zip
set -euo pipefail
setup=$(realpath "$1")
zip_file=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-session.sh"
bytes() { od -An -c "$1" | tr -d ' \n'; }

start_wine_session installer
drive=$WINEPREFIX/drive_c
program="$drive/Program Files/Tarvex"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Tarvex.lnk"
desktop="$drive/users/Public/Desktop/Tarvex.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvex'
users="$drive/users/$(id -un)"
before=$(cd "$drive" && find . | sort)

wine "$setup" /S
wineserver -w
for f in "$program/Tarvex.exe" "$program/Taux.ini" "$program/AutresTaux.ini" "$program/LICENSE.txt" \
    "$program/desinstaller.exe" "$menu" "$desktop"; do
    [ -f "$f" ] || fail "not installed: ${f#"$drive/"}"
done
[ "$(bytes "$program/Taux.ini")" = '20\r\n5.5\r\n' ] || fail "the shop's Taux.ini: $(bytes "$program/Taux.ini")"
wine reg query "$key" /v DisplayName 2>/dev/null | grep -q Tarvex ||
    fail "no entry in Applications et fonctionnalités"
wine reg query "$key" /v QuietUninstallString 2>/dev/null | grep -q desinstaller ||
    fail "the entry names no uninstaller"
echo "installer: /S installed the program, the shop's rates, the menu entry, the shortcut and the uninstaller's entry"

# The installed program starts and shows its window.
start_desktop
start_program "$program/Tarvex.exe" Tarvex || { cat "$work/program.log" >&2; fail "the installed program showed no window"; }
echo "installer: the installed program shows its window"
wineserver -k
wineserver -w

# The shop edits its rates; a second installation keeps them.
printf '19.6\r\n7\r\n' >"$program/Taux.ini"
wine "$setup" /S
wineserver -w
[ "$(bytes "$program/Taux.ini")" = '19.6\r\n7\r\n' ] || fail "installing again replaced the shop's edited Taux.ini"
echo "installer: installing again keeps the shop's edited Taux.ini"

# The user's own files, which the uninstaller must leave.
mkdir -p "$users/AppData/Roaming/Tarvex"
printf '10\r\n2.1\r\n' >"$users/AppData/Roaming/Tarvex/Taux.ini"
mine=$(cd "$drive" && find "./users/$(id -un)/AppData/Roaming/Tarvex" "./users/$(id -un)/AppData/Local/Tarvex" 2>/dev/null | sort || true)

wine "$program/desinstaller.exe" /S
wineserver -w
[ ! -e "$program" ] || fail "left in Program Files: $(cd "$program" && find . | tr '\n' ' ')"
[ ! -e "$menu" ] && [ ! -e "$desktop" ] || fail "the menu entry or the shortcut stayed"
! wine reg query "$key" >/dev/null 2>&1 || fail "the entry in Applications et fonctionnalités stayed"
[ -f "$users/AppData/Roaming/Tarvex/Taux.ini" ] || fail "the uninstaller removed the user's own rates"
after=$(cd "$drive" && find . | sort)
# What is new since before the installation: the user's own files, and what Windows itself
# keeps of any program that ran (its temporary and cache folders).
left=$(comm -13 <(echo "$before") <(echo "$after") | grep -vxF -f <(echo "$mine") |
    grep -v -e '/Temp' -e '/windows/' -e '/AppData/Local/Microsoft' || true)
[ -z "$left" ] || fail "the uninstaller left: $left"
echo "installer: the uninstaller removed everything but the user's own files"

# The portable zip.
listing=$(unzip -Z1 "$zip_file" | sort)
folder=$(echo "$listing" | head -n1)
expected=$(printf '%s\n' "$folder" "${folder}LICENSE.txt" "${folder}LISEZMOI.txt" "${folder}Taux.ini" \
    "${folder}Tarvex.exe" | sort)
[ "$listing" = "$expected" ] || fail "the portable zip holds: $listing"
unzip -q "$zip_file" -d "$work/Clé USB"
[ "$(bytes "$work/Clé USB/${folder}Taux.ini")" = '20\r\n5.5\r\n' ] || fail "the portable Taux.ini"
grep -q $'\r$' "$work/Clé USB/${folder}LISEZMOI.txt" || fail "LISEZMOI.txt has no CR LF lines"
echo "installer: the portable zip holds Tarvex.exe, Taux.ini (20 and 5,5), LISEZMOI.txt and LICENSE.txt"
