#!/usr/bin/env bash
# Builds, once, the static Qt for 64-bit Windows that Tarvex.exe and its tests link: Debian's
# own qt6-base source package (the version of the installed Qt, whose tools it uses),
# cross-compiled with MinGW-w64. The kit is kept outside the checkout, in a folder named after
# the source version and a hash of the configuration; a later run finds it and does nothing.
#
#   bash scripts/windows-kit.sh            # prints the kit's folder on its last line
#   TARVEX_KIT_ROOT=/some/where bash scripts/windows-kit.sh
set -euo pipefail
cd "$(dirname "$0")/.."
project=$PWD

bash scripts/setup.sh windows >&2

root=${TARVEX_KIT_ROOT:-${XDG_CACHE_HOME:-$HOME/.cache}/tarvex}
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)   # 6.4.2+dfsg-10
toolchain=$project/cmake/mingw-w64-x86_64.cmake

# What Tarvex uses of Qt and no more: every feature left out is code the exe does not carry.
# Tablet input is off because Debian's source comes without the wintab header it needs.
options=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=OFF
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_optimize_size=ON
    "-DCMAKE_C_FLAGS=-ffunction-sections -fdata-sections"
    "-DCMAKE_CXX_FLAGS=-ffunction-sections -fdata-sections"
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_freetype=OFF -DFEATURE_fontconfig=OFF
    -DFEATURE_jpeg=OFF -DFEATURE_ico=OFF -DFEATURE_textmarkdownreader=OFF
    -DFEATURE_textmarkdownwriter=OFF -DFEATURE_textodfwriter=OFF -DFEATURE_zstd=OFF
    -DFEATURE_printsupport=ON -DFEATURE_testlib=ON
)
hash=$(printf '%s\n' "${options[@]}" | cat - "$toolchain" | sha256sum | cut -c1-10)
kit=$root/qt-$version-mingw64-$hash

if [ -f "$kit/.complete" ]; then
    echo "$kit"
    exit 0
fi

work=$root/work-$version-$hash
mkdir -p "$root"
rm -rf "$work" "$kit"
mkdir -p "$work"
start=$(date +%s)

# Debian's source package: the upstream tarball with Debian's patches applied.
src_dir=$root/src-$version
if [ ! -f "$src_dir/CMakeLists.txt" ]; then
    rm -rf "$src_dir"
    mkdir -p "$work/download"
    (cd "$work/download" && apt-get source --download-only "qt6-base=$version" >&2)
    dpkg-source --no-check -x "$work/download"/qt6-base_*.dsc "$src_dir" >&2
fi

echo "Building the Windows kit (Qt $version, about 17 minutes on 2 quiet cores)..." >&2
cmake -S "$src_dir" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQt6HostInfo_DIR=/usr/lib/x86_64-linux-gnu/cmake/Qt6HostInfo \
    -DCMAKE_INSTALL_PREFIX="$kit" "${options[@]}" >"$work/configure.log" 2>&1 ||
    { tail -40 "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" -j "$(nproc)" >"$work/build.log" 2>&1 ||
    { tail -40 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >"$work/install.log" 2>&1 ||
    { tail -40 "$work/install.log" >&2; exit 1; }

echo "$(( $(date +%s) - start )) s" >"$kit/.complete"
rm -rf "$work"
echo "Windows kit built in $(cat "$kit/.complete"): $kit" >&2
echo "$kit"
