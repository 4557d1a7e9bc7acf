#!/usr/bin/env bash
# Builds everything and runs every test: the main build (unit, GUI, platform
# and real-window tests), the core tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a bounded run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)

echo "== main build =="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== core tests under ASan and UBSan =="
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DLUMINAKEY_GUI=OFF -DLUMINAKEY_BENCH=OFF -DLUMINAKEY_SANITIZE=ON
cmake --build build-sanitize -j "$jobs"
ctest --test-dir build-sanitize --output-on-failure -j "$jobs" -L core

fuzz_seconds=${LUMINAKEY_FUZZ_SECONDS:-30}
if compgen -G "fuzz/fuzz_*.cpp" > /dev/null; then
  echo "== fuzz targets, ${fuzz_seconds} s each =="
  CXX=clang++ CC=clang cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DLUMINAKEY_GUI=OFF -DLUMINAKEY_BENCH=OFF -DLUMINAKEY_FUZZ=ON
  cmake --build build-fuzz -j "$jobs"
  for target in build-fuzz/fuzz/fuzz_*; do
    name=$(basename "$target")
    corpus="fuzz/corpus/${name#fuzz_}"
    mkdir -p "build-fuzz/corpus/$name" build-fuzz/artifacts
    seeds=()
    [ -d "$corpus" ] && seeds+=("$corpus")
    # A crashing input lands in build-fuzz/artifacts, not in the source tree.
    "$target" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -timeout=5 \
      -artifact_prefix=build-fuzz/artifacts/ "build-fuzz/corpus/$name" "${seeds[@]}"
  done
fi
echo "all test stages passed"
