#!/usr/bin/env bash
# Installs what is missing, builds everything with GCC and runs the tests; then builds the tests
# again with Clang under AddressSanitizer and UndefinedBehaviorSanitizer and runs them there too;
# then cross-builds the core and runebin-cli for Windows and runs their tests under Wine. The GCC
# build is also installed to a staging folder and packed as a .deb, and both are checked.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
# ccache makes a second run on the same machine quick; paths are taken relative to the project so
# that clones in other folders share the cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# The benchmarks are built here so that they keep compiling; run them by hand (see README).
# GCC builds Release and Clang (under the sanitizers) Debug, so both compilers and both build types
# are covered; warnings are errors in both.
cmake -S . -B build/gcc -G Ninja -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=Release \
  -DRUNEBIN_WERROR=ON -DRUNEBIN_BENCH=ON "${launcher[@]}"
cmake --build build/gcc -j "$jobs"
ctest --test-dir build/gcc --output-on-failure -j "$jobs"
# What `cmake --install` and `cpack -G DEB` make of that build.
bash scripts/check-package.sh build/gcc

cmake -S . -B build/asan -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DRUNEBIN_WERROR=ON -DRUNEBIN_SANITIZE=ON "${launcher[@]}"
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs"

# The Windows programs, cross-built and tested under Wine.
bash scripts/test-windows.sh

if [ -x scripts/fuzz-smoke.sh ]; then
  bash scripts/fuzz-smoke.sh
fi
echo "All tests passed."
