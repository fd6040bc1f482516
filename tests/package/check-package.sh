#!/usr/bin/env bash
# The package stage of the tests: builds the Debian package, then checks it the way Debian does
# (lintian), checks that it holds every file the program needs and nothing else, and starts the
# program extracted from it on a virtual screen, where it must read the rate file it ships.
#
#   bash tests/package/check-package.sh [tarvex_<version>_<arch>.deb]   (default: builds it)
set -euo pipefail
cd "$(dirname "$0")/../.."
source tests/package/screen.sh

deb=${1:-$(bash scripts/package.sh | tail -n1)}
work=$(mktemp -d)
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    stop_screen
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
echo "package: $deb ($(stat -c %s "$deb") bytes)"

echo "== lintian =="
# Every tag is shown, down to the pedantic ones; errors and warnings fail. The overrides the
# package carries are listed too, with their reasons.
lintian -EIL +pedantic --show-overrides --fail-on error,warning "$deb" ||
    fail "lintian reports an error or a warning"

echo "== contents =="
dpkg-deb --contents "$deb" | awk '{ sub(/^\.\//, "/", $6); print $6 ($7 ? " " $7 " " $8 : "") }' |
    grep -v '/$' | sort >"$work/contents"
{
    cat <<'LIST'
/etc/tarvex/AutresTaux.ini
/etc/tarvex/Taux.ini
/usr/bin/tarvex -> ../libexec/tarvex/tarvex
/usr/libexec/tarvex/AutresTaux.ini -> /etc/tarvex/AutresTaux.ini
/usr/libexec/tarvex/Taux.ini -> /etc/tarvex/Taux.ini
/usr/libexec/tarvex/tarvex
/usr/libexec/tarvex/tarvex_print.so
/usr/share/applications/io.github.tarvex.Tarvex.desktop
/usr/share/doc/tarvex/changelog.gz
/usr/share/doc/tarvex/copyright
/usr/share/lintian/overrides/tarvex
/usr/share/man/fr/man1/tarvex.1.gz
/usr/share/man/man1/tarvex.1.gz
/usr/share/metainfo/io.github.tarvex.Tarvex.metainfo.xml
LIST
    (cd packaging/icons && find hicolor -type f -printf '/usr/share/icons/%p\n')
} | sort >"$work/expected"
if ! diff -U0 --label expected --label package "$work/expected" "$work/contents"; then
    fail "the package does not hold exactly the expected files"
fi
echo "$(wc -l <"$work/contents") files and links"
for conffile in /etc/tarvex/Taux.ini /etc/tarvex/AutresTaux.ini; do
    dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles | grep -qx "$conffile" ||
        fail "$conffile is not a conffile"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
file -b "$root/usr/libexec/tarvex/tarvex" | grep -q ', stripped' ||
    fail "the program is not stripped"
# The print module, loaded when the user first prints, is stripped like the program, and the
# package still depends on Qt's print support, which only the module links.
module=$root/usr/libexec/tarvex/tarvex_print.so
file -b "$module" | grep -q ', stripped' || fail "the print module is not stripped"
! readelf -S "$module" | grep -qE ' \.(comment|note) ' || fail "the print module keeps .comment or .note"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6printsupport6' ||
    fail "the package does not depend on Qt's print support: $(dpkg-deb -f "$deb" Depends)"
cmp -s "$root/etc/tarvex/Taux.ini" vat/Taux.ini ||
    fail "the shop's rates are not the default Taux.ini"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.tarvex.Tarvex.metainfo.xml" ||
    fail "appstreamcli rejects the metainfo"
desktop-file-validate "$root/usr/share/applications/io.github.tarvex.Tarvex.desktop" ||
    fail "desktop-file-validate rejects the menu entry"
for page in "$root"/usr/share/man/man1/tarvex.1.gz "$root"/usr/share/man/fr/man1/tarvex.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null ||
        echo "man cannot show it")
    [ -z "$warnings" ] || fail "$page: $warnings"
done

echo "== the extracted program =="
# Extracted, the link beside the program points at this machine's /etc: point it at the extracted
# rate file instead. A home of its own keeps any rates of the person running the tests away.
ln -sfn ../../../etc/tarvex/Taux.ini "$root/usr/libexec/tarvex/Taux.ini"
touch -d 2000-01-01 "$root/etc/tarvex/Taux.ini"
cp "$root/etc/tarvex/Taux.ini" "$work/shipped-rates"
mkdir -p "$work/home"
start_screen "$work"
# Started through /usr/bin/tarvex, the program must find its own folder behind the link.
HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR= LC_ALL=fr_FR.UTF-8 \
    QT_QPA_PLATFORM=xcb "$root/usr/bin/tarvex" >"$work/program.log" 2>&1 &
program_pid=$!
if main=$(window Tarvex); then
    eval "$(xdotool getwindowgeometry --shell "$main")"
    echo "main window shown: ${WIDTH}x${HEIGHT} at $X,$Y"
    sleep 0.5
    shoot "$work/main-window.png"
    # The options window shows the rates read at start; validating them unchanged writes them
    # back, through the link, as the same bytes: only a program that read the shipped rates
    # writes exactly them (with no rates read it would refuse the empty fields).
    if store_rates "$main"; then
        [ "$(stat -c %Y "$root/etc/tarvex/Taux.ini")" -gt 946684800 ] ||
            fail "the program did not write the rates back"
        cmp "$work/shipped-rates" "$root/etc/tarvex/Taux.ini" ||
            fail "the rates written back differ: $(od -c "$root/etc/tarvex/Taux.ini")"
    else
        fail "the options window did not take the shipped rates"
    fi
    [ -z "$(find "$work/home" -name Taux.ini)" ] || fail "the rates went to the user's folder"
else
    fail "the main window did not appear"
    cat "$work/program.log" >&2
fi

if [ "$failures" -ne 0 ]; then
    mkdir -p build-package && cp "$work"/*.png build-package/ 2>/dev/null || true
    echo "package checks: $failures failure(s)" >&2
    exit 1
fi
echo "package checks: all passed"
