#!/usr/bin/env bash
# The core's layers point down: the engine includes nothing from the
# subsystems built on it. (The tool path argument is not needed here.)
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
bad=$(grep -rnE '#include +"(practice|music|editors|shell|progress|app|tools)/' "$root/src/engine" || true)
if [ -n "$bad" ]; then
  echo "FAIL the engine includes a higher layer:"
  echo "$bad"
  exit 1
fi
echo "layers: ok"
