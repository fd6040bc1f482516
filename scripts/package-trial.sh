#!/usr/bin/env bash
# The Debian package tried for real, as root, on a throwaway Debian 12 / Ubuntu machine: it
# installs, upgrades, removes and purges the package with apt and creates and deletes two users.
# Not part of the tests, since it changes the machine:
#
#   sudo bash scripts/package-trial.sh
#
# It builds the package, and a second one from a copy of the sources one version higher; then
# installs the first, lets a user store rates of their own in the options window, edits the
# shop's rates in /etc, upgrades, and checks that the user still has their rates, that another
# user gets the edited shop's rates and that rates root stores are the shop's; removes and
# reinstalls the package (the user's rates and the shop's stay); purges it and checks that no
# file of the package is left and that the users' files are.
# Pictures of the screen and the logs stay in build-trial/.
set -euo pipefail
cd "$(dirname "$0")/.."
root_dir=$(pwd)

[ "$(id -u)" -eq 0 ] || { echo "package-trial: run it as root (sudo)" >&2; exit 1; }
if dpkg-query -W -f='${Status}' tarvex 2>/dev/null | grep -q 'ok installed'; then
    echo "package-trial: tarvex is installed already; this is for a machine without it" >&2
    exit 1
fi
user_a=tarvex-trial-a
user_b=tarvex-trial-b
for user in "$user_a" "$user_b"; do
    if id "$user" >/dev/null 2>&1; then
        echo "package-trial: the user $user exists already" >&2
        exit 1
    fi
done

source tests/package/screen.sh
work=$root_dir/build-trial
rm -rf "$work"
mkdir -p "$work"
program_pid=
failures=0
step() { printf '\n== %s ==\n' "$*"; }
check() { # check DESCRIPTION COMMAND...: runs the command, says ok or FAIL
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -y -q "$@" </dev/null; }
cleanup() {
    stop_program
    stop_screen
    if dpkg-query -W -f='${Status}' tarvex 2>/dev/null | grep -q 'installed'; then
        apt_get purge tarvex >/dev/null 2>&1 || true
    fi
    for user in "$user_a" "$user_b"; do
        id "$user" >/dev/null 2>&1 || continue
        # Whatever the program left running as the throwaway user would keep it from going.
        for pid in $(ps -o pid= -u "$user"); do kill "$pid" 2>/dev/null || true; done
        sleep 0.5
        userdel -r "$user" 2>/dev/null || echo "package-trial: could not delete the user $user" >&2
    done
}
trap cleanup EXIT

# Starts /usr/bin/tarvex as a user, with a clean environment of their own and no session bus (Qt
# would start one that outlives the program), and waits for its main window; sets main.
locale=C.UTF-8
locale -a 2>/dev/null | grep -qix 'fr_FR.utf-\?8' && locale=fr_FR.UTF-8
home_of() { getent passwd "$1" | cut -d: -f6; }
start_program() { # start_program USER PICTURE
    setpriv --reuid="$1" --regid="$1" --init-groups env -i HOME="$(home_of "$1")" USER="$1" \
        PATH=/usr/bin:/bin DISPLAY="$DISPLAY" LC_ALL=$locale QT_QPA_PLATFORM=xcb \
        DBUS_SESSION_BUS_ADDRESS=disabled: \
        /usr/bin/tarvex >>"$work/program-$1.log" 2>&1 &
    program_pid=$!
    main=$(window Tarvex) || { echo "the main window did not appear" >&2; return 1; }
    sleep 0.5
    shoot "$work/$2"
    echo "main window of $1 shown: $work/$2"
}
stop_program() {
    [ -n "$program_pid" ] || return 0
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=
}
rates_of() { # rates_of USER: the user's own rate file
    echo "$(home_of "$1")/.config/Tarvex/Tarvex/Taux.ini"
}
holds() { # holds FILE FIRST SECOND: the file holds exactly these two rates
    [ "$(cat "$1" 2>/dev/null)" = "$(printf '%s\r\n%s\r' "$2" "$3")" ]
}
installed_version() { dpkg-query -W -f='${Status} ${Version}' tarvex 2>/dev/null; }

step "build the package, and one a version higher from a copy of the sources"
deb_1=$(PACKAGE_DIR="$work/dist" bash scripts/package.sh 2>"$work/package-1.log" | tail -n1)
version_1=$(dpkg-deb -f "$deb_1" Version)
next=$(echo "$version_1" | awk -F. '{ printf "%d.%d.%d", $1, $2, $3 + 1 }')
mkdir -p "$work/src"
git ls-files -co --exclude-standard -z | xargs -0 cp --parents -t "$work/src"
sed -i "s/^project(Tarvex VERSION $version_1 /project(Tarvex VERSION $next /" \
    "$work/src/CMakeLists.txt"
maintainer=$(sed -n 's/^ -- \(.*>\)  .*/\1/p' packaging/changelog | head -n1)
{
    printf 'tarvex (%s) unstable; urgency=medium\n\n' "$next"
    printf '  * Rebuilt one version higher, to try the upgrade.\n\n'
    printf ' -- %s  %s\n\n' "$maintainer" "$(date -R)"
    cat packaging/changelog
} >"$work/src/packaging/changelog"
deb_2=$(cd "$work/src" && PACKAGE_BUILD="$work/src/build-package" PACKAGE_DIR="$work/dist" \
    bash scripts/package.sh 2>"$work/package-2.log" | tail -n1)
ls -l "$deb_1" "$deb_2"
check "the rebuilt package is version $next" test "$(dpkg-deb -f "$deb_2" Version)" = "$next"

mkdir -p "$work/screen"
start_screen "$work/screen"
useradd --create-home --shell /bin/bash "$user_a"
useradd --create-home --shell /bin/bash "$user_b"

step "install $version_1 with apt"
apt_get install "$deb_1" >"$work/apt-install.log" 2>&1
tail -n3 "$work/apt-install.log"
check "tarvex $version_1 is installed" \
    test "$(installed_version)" = "install ok installed $version_1"
dpkg -L tarvex >"$work/files-$version_1"
check "/usr/bin/tarvex starts /usr/libexec/tarvex/tarvex" \
    test "$(readlink -f /usr/bin/tarvex)" = /usr/libexec/tarvex/tarvex
check "the shop's rates are a conffile" \
    grep -q '^ /etc/tarvex/Taux.ini ' <(dpkg-query -W -f='${Conffiles}\n' tarvex)
check "the shop's rates are 20 and 5.5" holds /etc/tarvex/Taux.ini 20 5.5

step "$user_a starts /usr/bin/tarvex and stores rates of their own"
start_program "$user_a" installed-$user_a.png
# Validating the rates shown unchanged stores what the program read: the shop's.
store_rates "$main"
check "$user_a's program read the shop's rates 20 and 5.5" holds "$(rates_of "$user_a")" 20 5.5
store_rates "$main" 19.6 7
check "$user_a's rates 19.6 and 7 are in their own file" holds "$(rates_of "$user_a")" 19.6 7
check "the shop's rates are untouched" holds /etc/tarvex/Taux.ini 20 5.5
stop_program

step "the administrator sets the shop's rates to 21 and 10 in /etc, then upgrades to $next"
printf '21\r\n10\r\n' >/etc/tarvex/Taux.ini
apt_get install "$deb_2" >"$work/apt-upgrade.log" 2>&1
tail -n3 "$work/apt-upgrade.log"
check "tarvex $next is installed" test "$(installed_version)" = "install ok installed $next"
check "the upgrade kept the administrator's rates" holds /etc/tarvex/Taux.ini 21 10
check "the upgrade kept $user_a's rates" holds "$(rates_of "$user_a")" 19.6 7
dpkg -L tarvex >"$work/files-$next"

step "after the upgrade, $user_a sees their rates and $user_b the shop's"
touch -d 2000-01-01 "$(rates_of "$user_a")"
start_program "$user_a" upgraded-$user_a.png
store_rates "$main"
check "$user_a's program read their rates 19.6 and 7" holds "$(rates_of "$user_a")" 19.6 7
check "... and wrote them back just now" test "$(stat -c %Y "$(rates_of "$user_a")")" -gt 946684800
stop_program
start_program "$user_b" upgraded-$user_b.png
store_rates "$main"
check "$user_b's program read the shop's edited rates 21 and 10" holds "$(rates_of "$user_b")" 21 10
stop_program

step "root stores rates in the options window: they are the shop's"
start_program root upgraded-root.png
store_rates "$main" 22 10
check "root's rates 22 and 10 went to /etc" holds /etc/tarvex/Taux.ini 22 10
check "/usr/libexec/tarvex/Taux.ini still links to /etc" \
    test "$(readlink /usr/libexec/tarvex/Taux.ini)" = /etc/tarvex/Taux.ini
stop_program

step "remove, then reinstall"
apt_get remove tarvex >"$work/apt-remove.log" 2>&1
tail -n2 "$work/apt-remove.log"
check "the program is gone" test ! -e /usr/libexec/tarvex/tarvex
check "the shop's rates stay until a purge" holds /etc/tarvex/Taux.ini 22 10
check "$user_a's rates stay" holds "$(rates_of "$user_a")" 19.6 7
apt_get install "$deb_2" >"$work/apt-reinstall.log" 2>&1
check "tarvex $next is installed again" test "$(installed_version)" = "install ok installed $next"
start_program "$user_a" reinstalled-$user_a.png
store_rates "$main"
check "$user_a's program read their rates 19.6 and 7" holds "$(rates_of "$user_a")" 19.6 7
stop_program

step "purge"
apt_get purge tarvex >"$work/apt-purge.log" 2>&1
tail -n2 "$work/apt-purge.log"
check "tarvex is no longer known to dpkg" test -z "$(installed_version)"
# A folder the package shared with others (/usr/share/man, ...) stays; anything else is left over.
left=$(sort -u "$work/files-$version_1" "$work/files-$next" | while read -r path; do
    if [ -L "$path" ] || [ -f "$path" ]; then
        echo "$path"
    elif [ -d "$path" ] && ! dpkg -S "$path" >/dev/null 2>&1; then
        echo "$path"
    fi
done)
[ -z "$left" ] || printf 'left over: %s\n' $left
checked=$(sort -u "$work/files-$version_1" "$work/files-$next" | wc -l)
check "no file of the package is left ($checked paths checked)" test -z "$left"
check "$user_a's rates are still theirs" holds "$(rates_of "$user_a")" 19.6 7
check "$user_b's rates are still theirs" holds "$(rates_of "$user_b")" 21 10

echo
if [ "$failures" -ne 0 ]; then
    echo "package trial: $failures failure(s); pictures and logs in $work"
    exit 1
fi
echo "package trial: all passed; pictures and logs in $work"
