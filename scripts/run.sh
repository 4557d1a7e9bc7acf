#!/usr/bin/env bash
# Builds LuminaKey and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
if [ -x build/bin/luminakey ]; then
  exec build/bin/luminakey
fi
# Until the desktop program exists, show the built-in lists.
for level in 1 2 3; do build/bin/luminakey-tool list "$level"; done
