#!/usr/bin/env bash
# Builds the Debian package of Tarvex: a Release build with Debian's hardening flags, installed
# under /usr and packed by CPack, then prints the path of tarvex_<version>_<arch>.deb.
#
#   bash scripts/package.sh                   # the package lands in dist/
#   PACKAGE_BUILD=build-x PACKAGE_DIR=out bash scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."

build=${PACKAGE_BUILD:-build-package}
out=${PACKAGE_DIR:-dist}
bash scripts/setup.sh >&2

# The flags Debian builds its own packages with (fortify, stack protector, relro, bindnow), so
# that the program is as hardened as its neighbours; CMake reads CXXFLAGS and LDFLAGS once, at
# its first configure, and knows nothing of CPPFLAGS.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CXXFLAGS="$CPPFLAGS $CXXFLAGS"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr >&2
cmake --build "$build" -j "${JOBS:-$(nproc)}" >&2
rm -rf "$build/package"
(cd "$build" && cpack -G DEB) >&2

deb=$(find "$build/package" -maxdepth 1 -name 'tarvex_*.deb')
mkdir -p "$out"
cp "$deb" "$out/"
realpath "$out/$(basename "$deb")"
