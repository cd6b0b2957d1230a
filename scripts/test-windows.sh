#!/usr/bin/env bash
# Windows stage: cross-builds the core, runebin-cli, the window program runebin.exe and their tests
# for 64-bit Windows with MinGW-w64, runs the tests under Wine (the runebin-cli tests run
# runebin-cli.exe end to end; the window's tests show real windows on a virtual X display), starts
# runebin.exe itself, then builds the Windows zip and checks it. Called by scripts/test.sh; runs
# alone too.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

build=build/win
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DRUNEBIN_GUI=ON -DRUNEBIN_WERROR=ON "${launcher[@]}" >/dev/null
# Only the programs and the test executables (a cross build names each test after its binary).
mapfile -t test_programs < <(ctest --test-dir "$build" -N | sed -n 's/^ *Test *#[0-9]*: //p')
cmake --build "$build" -j "$jobs" --target runebin-cli runebin "${test_programs[@]}"

# A private Wine prefix, made once and kept with the build; its C: drive receives
# c:\entities.txt. No Mono or Gecko: nothing here needs them.
export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true' EXIT
# One virtual display for the whole Wine session (only the window's tests show anything), at 96 dpi
# as the dialogs' layouts assume. Wine's first program starts the session's desktop, so it runs
# on the display too.
xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24 -dpi 96" bash -c '
  wine "$1/cli/runebin-cli.exe" --version &&
    ctest --test-dir "$1" --output-on-failure -j "$2" --timeout 300
  status=$?
  # The window program itself starts: it waits on its about box until the session ends below.
  if [ $status = 0 ]; then
    wine "$1/gui/win32/runebin.exe" &
    sleep 3
    kill -0 $! 2>/dev/null || { echo "runebin.exe ended at start-up" >&2; status=1; }
  fi
  wineserver -k 2>/dev/null
  exit $status' windows-tests "$build" "$jobs"

bash scripts/package-windows.sh "$build"
echo "Windows stage passed."
