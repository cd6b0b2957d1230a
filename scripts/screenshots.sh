#!/bin/sh
# Takes screenshots of the window program under a virtual X display, for a person to check that
# every control is visible, none overlaps another and no label is clipped.
#
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default: build-gui; configure it with
#        -DRUNEBIN_GUI=ON). The pictures go to BUILD_DIR/screenshots/.
#        scripts/screenshots.sh --windows [BUILD_DIR]   (default: build/win, the cross build of
#        scripts/test-windows.sh): the Win32 program's windows under Wine, as PNG files
#        (ImageMagick's convert turns Wine's BMPs into them).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
windows=false
if [ "${1:-}" = "--windows" ]; then
  windows=true
  shift
fi
if $windows; then
  build=${1:-"$root/build/win"}
else
  build=${1:-"$root/build-gui"}
fi
case $build in /*) ;; *) build="$PWD/$build" ;; esac
out="$build/screenshots"
mkdir -p "$out"

# A fixed resolution, so that fonts come out at 96 dpi as the layouts assume.
screen="-screen 0 1280x1024x24 -dpi 96"

if ! $windows; then
  ninja -C "$build" runebin_screenshots >/dev/null
  xvfb-run --auto-servernum --server-args="$screen" \
    env -u QT_QPA_PLATFORM "$build/tools/runebin_screenshots" "$out"
  exit 0
fi

ninja -C "$build" runebin_win32_screenshots >/dev/null
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Xvfb has no window manager to draw title bars: Wine draws its own.
xvfb-run --auto-servernum --server-args="$screen" sh -c '
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Decorated /d N /f >/dev/null 2>&1
  wine "$1" "$(winepath -w "$2")"
  status=$?
  wineserver -k 2>/dev/null
  exit $status' screenshots "$build/tools/runebin_win32_screenshots.exe" "$out"
for picture in "$out"/*.bmp; do
  convert "$picture" "${picture%.bmp}.png"
  rm "$picture"
done
ls "$out"/*.png
