#!/usr/bin/env bash
# Builds runebin-<version>-windows-x64.zip: the window program runebin.exe and runebin-cli.exe
# (statically linked, so no DLL beside them), the README and the licence texts of the runtime
# inside the .exes. Then checks the zip: its contents, that the programs import only DLLs that
# come with Windows, and that the packed runebin-cli.exe runs under Wine.
# Usage: package-windows.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/win}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DRUNEBIN_GUI=ON -DRUNEBIN_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target runebin-cli runebin

version=$(sed -n 's/^project(Runebin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name="runebin-$version-windows-x64"
stage="$build/package/$name"
rm -rf "$build/package"
mkdir -p "$stage/licenses"
x86_64-w64-mingw32-strip -o "$stage/runebin-cli.exe" "$build/cli/runebin-cli.exe"
x86_64-w64-mingw32-strip -o "$stage/runebin.exe" "$build/gui/win32/runebin.exe"
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
$name/runebin-cli.exe
$name/runebin.exe"
actual=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
if [ "$actual" != "$expected" ]; then
  printf 'Unexpected contents of %s:\n%s\n' "$zip" "$actual" >&2
  exit 1
fi
# Every DLL a program imports must be one that every Windows has.
system_dlls='^(kernel32|user32|gdi32|gdiplus|comdlg32|comctl32|shell32|advapi32|msvcrt)\.dll$'
for program in runebin.exe runebin-cli.exe; do
  imported=$(x86_64-w64-mingw32-objdump -p "$stage/$program" | sed -n 's/^\s*DLL Name: //p')
  foreign=$(printf '%s\n' "$imported" | tr 'A-Z' 'a-z' | grep -Ev "$system_dlls" || true)
  if [ -n "$foreign" ]; then
    printf '%s needs DLLs that Windows does not have:\n%s\n' "$program" "$foreign" >&2
    exit 1
  fi
done
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
