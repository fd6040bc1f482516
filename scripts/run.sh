#!/usr/bin/env bash
# Installs what is missing, builds Tarvex and launches it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
# The same build folder and type as the tests, so switching between the two rebuilds nothing.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target tarvex

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Tarvex is built (build/tarvex) but there is no screen to show it on: run this command" \
         "from a desktop session, or give it a virtual one with: xvfb-run -a bash scripts/run.sh" >&2
    exit 1
fi
exec ./build/tarvex
