#!/usr/bin/env bash
# Builds everything and runs every test: the main build (unit, GUI, platform
# and real-window tests), the Debian package (built, checked, installed, its
# program run, removed), the core tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a bounded run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)

echo "== main build =="
# Configured for /usr so that the same build makes the package.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" | tee build/ctest.log

echo "== Debian package =="
scripts/check-package.sh build

echo "== core tests under ASan and UBSan =="
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DLUMINAKEY_GUI=OFF -DLUMINAKEY_BENCH=OFF -DLUMINAKEY_SANITIZE=ON
cmake --build build-sanitize -j "$jobs"
ctest --test-dir build-sanitize --output-on-failure -j "$jobs" -L core | tee build-sanitize/ctest.log

fuzz_seconds=${LUMINAKEY_FUZZ_SECONDS:-30}
fuzzed=0
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
    # The fuzzer's progress goes to a log; on a failure its end is shown.
    log="build-fuzz/$name.log"
    if ! "$target" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -timeout=5 \
      -artifact_prefix=build-fuzz/artifacts/ "build-fuzz/corpus/$name" "${seeds[@]}" > "$log" 2>&1; then
      tail -n 60 "$log"
      echo "$name: failed"
      exit 1
    fi
    echo "$name: $(grep -E '^#[0-9]+' "$log" | tail -n 1 | awk '{print $1}' | tr -d '#') runs, no failure"
    fuzzed=$((fuzzed + 1))
  done
fi

# ctest prints "N% tests passed, F tests failed out of T" for each stage.
passed=0
failed=0
for log in build/ctest.log build-sanitize/ctest.log; do
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  f=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
  t=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/')
  passed=$((passed + t - f))
  failed=$((failed + f))
done
passed=$((passed + fuzzed))
echo "all test stages passed (main build, Debian package, sanitizers, ${fuzzed} fuzz targets)"
echo "${passed} passed, ${failed} failed"
