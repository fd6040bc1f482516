#!/usr/bin/env bash
# Installs what building, running and testing Tarvex needs on Debian 12 / Ubuntu, if missing.
#
#   bash scripts/setup.sh            # the Linux program and its tests
#   bash scripts/setup.sh windows    # also the Windows cross-build: MinGW-w64, Wine, NSIS, and
#                                    # apt's source entries for Qt's source package
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    # build: the X connection Qt holds, to call off a window manager's move loop it started late
    libxcb1-dev
    # tests: Qt's own platform headers, to listen to what a screen reader is told
    qt6-base-private-dev
    # run: French translations of Qt's own texts, fonts close to the calculator's
    qt6-translations-l10n qt6-l10n-tools fonts-liberation fonts-dejavu-core
    # tests: a virtual screen for the screenshots, the desktop file checkers, a window manager
    # and pointer control for the drag test
    xvfb xauth x11-apps x11-utils imagemagick desktop-file-utils appstream openbox xdotool
    # tests: the text of the printed tape (a PDF file)
    poppler-utils
    # quality: fuzzing and sanitizers (clang), coverage, static checks, benchmarks
    clang libclang-rt-14-dev gcovr clang-tidy clang-format cppcheck libbenchmark-dev
    # start-up benchmark: a virtual screen, its window watcher and a session bus
    xdotool dbus libx11-dev libxres-dev libxdamage-dev
    # the Debian package: its dependencies (dpkg-shlibdeps), its checks (lintian), the type of
    # the packed program, the manual pages' check
    dpkg-dev fakeroot lintian file man-db
    # trying the clipboard by hand on the virtual screen
    xclip
)

if [ "${1:-}" = windows ]; then
    packages+=(
        # the Windows cross-build: compilers, the static Qt's build, the program's resources
        g++-mingw-w64-x86-64-posix mingw-w64-tools dpkg-dev xz-utils
        # its tests and the installer's trial: Windows programs on this machine
        wine wine64
        # the installer (CPack's NSIS generator) and the portable zip
        nsis zip unzip
    )
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# Qt's source package comes from apt's source entries: one for each binary entry, when none is
# there yet.
if [ "${1:-}" = windows ] && ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list \
        /etc/apt/sources.list.d/; then
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && grep -q '^Types:.*\bdeb\b' "$f" || continue
        sed 's/^Types:.*/Types: deb-src/' "$f" |
            $sudo tee "/etc/apt/sources.list.d/tarvex-src-$(basename "$f")" >/dev/null
    done
    if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list; then
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
            $sudo tee /etc/apt/sources.list.d/tarvex-src.list >/dev/null
    fi
    $sudo apt-get update -qq
fi

# Wine takes a program's regional settings from the system's locale: a French one must exist for
# the Windows program to be tried as a French desktop runs it.
if [ "${1:-}" = windows ] && ! locale -a 2>/dev/null | grep -qix 'fr_FR.utf8'; then
    command -v localedef >/dev/null || packages+=(locales)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "${1:-}" = windows ] && ! locale -a 2>/dev/null | grep -qix 'fr_FR.utf8'; then
    echo "Making the French locale fr_FR.UTF-8"
    $sudo localedef -i fr_FR -c -f UTF-8 fr_FR.UTF-8
fi
