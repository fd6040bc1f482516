#!/usr/bin/env bash
# Installs what building, running and testing Tarvex needs on Debian 12 / Ubuntu, if missing.
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

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
