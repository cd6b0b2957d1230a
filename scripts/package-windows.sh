#!/usr/bin/env bash
# Builds runebin-<version>-windows-x64.zip: runebin-cli.exe (statically linked, so no DLL beside
# it), the README and the licence texts of the runtime inside the .exe. Then checks the zip: its
# contents, and that the packed program runs under Wine. Usage: package-windows.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/win}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DRUNEBIN_GUI=OFF -DRUNEBIN_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target runebin-cli

version=$(sed -n 's/^project(Runebin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name="runebin-$version-windows-x64"
stage="$build/package/$name"
rm -rf "$build/package"
mkdir -p "$stage/licenses"
x86_64-w64-mingw32-strip -o "$stage/runebin-cli.exe" "$build/cli/runebin-cli.exe"
cp README.md "$stage/"
# The .exe carries the GCC runtime (libstdc++, libgcc: GPL with the runtime library exception) and
# the MinGW-w64 C runtime and threads library; their terms travel with it.
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licenses/gcc-runtime.txt"
cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$stage/licenses/mingw-w64-runtime.txt"
zip="$build/$name.zip"
rm -f "$zip"
(cd "$build/package" && zip -qr -X "../$name.zip" "$name")

# The check: exactly these files, and the packed program runs.
expected="$name/README.md
$name/licenses/gcc-runtime.txt
$name/licenses/mingw-w64-runtime.txt
$name/runebin-cli.exe"
actual=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
if [ "$actual" != "$expected" ]; then
  printf 'Unexpected contents of %s:\n%s\n' "$zip" "$actual" >&2
  exit 1
fi
check="$build/package/check"
mkdir -p "$check"
unzip -q -o "$zip" -d "$check"
export WINEPREFIX="${WINEPREFIX:-$PWD/$build/wineprefix}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true' EXIT
said=$(wine "$check/$name/runebin-cli.exe" --version)
if [ "$said" != "runebin-cli $version" ]; then
  printf 'The packed runebin-cli.exe said "%s"\n' "$said" >&2
  exit 1
fi
echo "Packed $zip"
