#!/usr/bin/env bash
# Installs the built program into a fresh folder, as `cmake --install` does for a user, and checks
# what lands there: the program with its rate file, the command on the PATH, the menu entry, the
# icons, the AppStream description (with Debian's checkers where they are installed) and the
# manual pages.
#
# Usage: check_install.sh BUILD_FOLDER SOURCE_FOLDER
set -euo pipefail
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
app_id=io.github.tarvex.Tarvex
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log" >&2; exit 1; }
rm -f "$prefix.log"

# The program and its rate file, side by side; the command on the PATH leads to them.
program="$prefix/libexec/tarvex/tarvex"
[ -x "$program" ] || fail "no program at libexec/tarvex/tarvex"
cmp -s "$prefix/libexec/tarvex/Taux.ini" "$source/vat/Taux.ini" || fail "Taux.ini is not the default rate file"
# The rate files beside the program are the shop's, in the prefix's etc/; the extra rates' one is
# empty as shipped.
for name in Taux.ini AutresTaux.ini; do
    [ "$(realpath "$prefix/libexec/tarvex/$name")" = "$(realpath "$prefix/etc/tarvex/$name")" ] ||
        fail "libexec/tarvex/$name does not lead to etc/tarvex/$name"
done
[ -f "$prefix/etc/tarvex/AutresTaux.ini" ] && [ ! -s "$prefix/etc/tarvex/AutresTaux.ini" ] ||
    fail "etc/tarvex/AutresTaux.ini is not an empty file"
# The print module beside the program, where the program looks for it when the user prints.
[ -f "$prefix/libexec/tarvex/tarvex_print.so" ] || fail "no print module beside the program"
[ -L "$prefix/bin/tarvex" ] || fail "bin/tarvex is not a link"
case "$(readlink "$prefix/bin/tarvex")" in /*) fail "bin/tarvex links to an absolute path";; esac
[ "$(realpath "$prefix/bin/tarvex")" = "$(realpath "$program")" ] || fail "bin/tarvex does not lead to the program"

# The menu entry names the command and the icon that are installed.
desktop="$prefix/share/applications/$app_id.desktop"
[ -f "$desktop" ] || fail "no menu entry"
grep -qx "Exec=tarvex" "$desktop" || fail "the menu entry does not start tarvex"
grep -qx "Icon=$app_id" "$desktop" || fail "the menu entry does not name the icon $app_id"
grep -q "^Comment=.*TVA" "$desktop" || fail "the menu entry has no French comment"
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
[ -f "$metainfo" ] || fail "no AppStream description"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
    || fail "the AppStream description does not launch the menu entry"

# Icons at every size of the theme, each of its size.
for size in 16 22 24 32 48 64 128 256 512; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    if [ ! -f "$icon" ]; then fail "no ${size}x${size} icon"; continue; fi
    # The PNG header holds the width and height as two big-endian 32-bit numbers at byte 16.
    dims=$(od -An -tu1 -j16 -N8 "$icon" | tr -s ' ' | sed 's/^ //')
    [ "$dims" = "0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))" ] \
        || fail "the ${size}x${size} icon is not ${size} pixels square ($dims)"
done
[ -f "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" ] || fail "no scalable icon"
for page in man1/tarvex.1.gz fr/man1/tarvex.1.gz; do
    zcat "$prefix/share/man/$page" 2>/dev/null | grep -q "^\.TH TARVEX 1 " || fail "no manual page $page"
done

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
else
    echo "desktop-file-validate is not installed: menu entry not validated"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
else
    echo "appstreamcli is not installed: AppStream description not validated"
fi

# The installed command starts and keeps running (its pictures are built in); it is stopped
# after a while.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/bin/tarvex" >"$prefix/run.log" 2>&1 || status=$?
[ $status -eq 124 ] || { cat "$prefix/run.log" >&2; fail "the installed program ended by itself ($status)"; }

[ $failures -eq 0 ] && echo "installed files checked"
exit $((failures > 0))
