#!/usr/bin/env bash
# Installs what is missing, builds the window program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DRUNEBIN_TESTS=OFF
cmake --build build/release -j "$(nproc)"

if [ ! -x build/release/gui/runebin ]; then
  echo "The window program is not built yet; build/release holds the libraries and tools."
  exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "runebin needs a graphical display (DISPLAY or WAYLAND_DISPLAY is not set); it was built as build/release/gui/runebin."
  exit 1
fi
exec build/release/gui/runebin
