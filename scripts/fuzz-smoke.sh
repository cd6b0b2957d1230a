#!/usr/bin/env bash
# Builds the libFuzzer targets with Clang and runs each for a minute on its seed corpus: the
# seeds that fuzz_seeds builds with the test record builders, the metafiles in fuzz/seeds/, and
# the shared metafile corpus beside the project when it is there. Any crash, sanitizer report or
# broken invariant fails the script; the input that caused it is left in build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${RUNEBIN_FUZZ_SECONDS:-60}
build=build/fuzz

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DRUNEBIN_FUZZ=ON \
  -DRUNEBIN_TESTS=OFF -DRUNEBIN_GUI=OFF
cmake --build "$build" -j "$(nproc)" --target fuzz_drawing fuzz_metafile fuzz_seeds

rm -rf "$build/seeds" "$build/corpus" "$build/artifacts"
mkdir -p "$build/corpus/drawing" "$build/corpus/wmf" "$build/artifacts"
"$build/fuzz/fuzz_seeds" "$build/seeds"

# The first folder collects what the fuzzer finds; the others are only read.
run() {
  local target=$1
  shift
  local log="$build/$target.log"
  echo "== $target: ${seconds} s"
  if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" "$@" >"$log" 2>&1; then
    grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::' "$log" || true
  else
    tail -n 60 "$log"
    echo "$target failed; the input is in $build/artifacts/, the whole output in $log"
    return 1
  fi
}

run fuzz_drawing "$build/corpus/drawing" "$build/seeds/drawing"
wmf_seeds=("$build/corpus/wmf" "$build/seeds/wmf" fuzz/seeds/wmf)
if [ -d ../shared/corpus/wmf ]; then
  wmf_seeds+=(../shared/corpus/wmf)
fi
run fuzz_metafile "${wmf_seeds[@]}"
echo "Fuzz smoke run passed."
