#!/usr/bin/env bash
# Installs, from Debian 12's packages, whatever the build and the tests need and the machine lacks.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev ccache
  libgtest-dev libgmock-dev libbenchmark-dev libexpat1-dev
  qt6-base-dev libgl1-mesa-dev
  xvfb xauth imagemagick
  g++-mingw-w64-x86-64-posix googletest wine wine64 zip unzip
  dpkg-dev desktop-file-utils groff-base
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
