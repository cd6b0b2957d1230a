#!/bin/sh
# Takes screenshots of the window program under a virtual X display, for a person to check that
# every control is visible, none overlaps another and no label is clipped.
#
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default: build-gui; configure it with
#        -DRUNEBIN_GUI=ON). The pictures go to BUILD_DIR/screenshots/.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build-gui"}
case $build in /*) ;; *) build="$PWD/$build" ;; esac

ninja -C "$build" runebin_screenshots >/dev/null
out="$build/screenshots"
mkdir -p "$out"

# A fixed resolution, so that fonts come out at 96 dpi as the layouts assume.
xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24 -dpi 96" \
  env -u QT_QPA_PLATFORM "$build/tools/runebin_screenshots" "$out"
