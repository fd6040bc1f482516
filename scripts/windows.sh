#!/usr/bin/env bash
# Tarvex for Windows, cross-built here: builds the static Qt kit once (scripts/windows-kit.sh),
# then Tarvex.exe and the logic's suites, runs the suites and the program itself under Wine, and
# makes what a Windows user downloads:
#
#   dist/Tarvex-<version>-win64-setup.exe      the installer (French, /S for a silent install)
#   dist/Tarvex-<version>-win64-portable.zip   Tarvex.exe, Taux.ini, LISEZMOI.txt and LICENSE
#
#   bash scripts/windows.sh            # build, test, package and try the installer
#   bash scripts/windows.sh --no-test  # build and package only
set -euo pipefail
cd "$(dirname "$0")/.."
test=1
[ "${1:-}" = --no-test ] && test=0

kit=$(bash scripts/windows-kit.sh | tail -n1)
export TARVEX_WINDOWS_KIT=$kit
jobs=$(nproc)

cmake --preset windows-release >/dev/null
cmake --build --preset windows-release -j "$jobs"
exe=build-windows/Tarvex.exe
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)

if [ "$test" = 1 ]; then
    ctest --preset windows-release -j "$jobs"
fi

echo "== Windows packages =="
mkdir -p dist
(cd build-windows && cpack -G NSIS -B "$PWD/cpack" >/dev/null)
setup=dist/Tarvex-$version-win64-setup.exe
cp "build-windows/cpack/Tarvex-$version-win64-setup.exe" "$setup"

# The portable copy: everything in one folder that keeps its rates beside the program.
portable=$(mktemp -d)
trap 'rm -rf "$portable"' EXIT
folder=$portable/Tarvex-$version
mkdir -p "$folder"
cp "$exe" "$folder/Tarvex.exe"
cp vat/Taux.ini "$folder/Taux.ini"
sed "s/@VERSION@/$version/g" packaging/windows/LISEZMOI.txt | sed 's/$/\r/' >"$folder/LISEZMOI.txt"
sed 's/$/\r/' LICENSE >"$folder/LICENSE.txt"
zip_file=$PWD/dist/Tarvex-$version-win64-portable.zip
rm -f "$zip_file"
(cd "$portable" && zip -q -X -r "$zip_file" "Tarvex-$version")

for f in "$exe" "$setup" "$zip_file"; do
    printf '%-45s %8d kB\n' "$(basename "$f")" $(( $(stat -c %s "$f") / 1024 ))
done

if [ "$test" = 1 ]; then
    bash tests/windows/check-installer.sh "$setup" "$zip_file"
fi
