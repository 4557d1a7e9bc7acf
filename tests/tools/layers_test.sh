#!/usr/bin/env bash
# The floors point down: no file of a floor includes a header of a floor
# above it or of a sibling on its own level (practice and music know nothing
# of each other). The floors and what each builds on are read from the
# lk_floor lines of src/CMakeLists.txt, the same lines the libraries are made
# from; app/ and tools/ stand on every floor and not on each other. The Qt-free
# core of a floor includes no screens. (The tool path argument is not needed.)
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
declare -A below
floors=()
while read -r name rest; do
  floors+=("$name")
  below[$name]=$(sed -n 's/.*BELOW *//p' <<<"$rest")
done < <(sed -nE 's/^lk_floor\(([a-z_]+)(.*)\)$/\1 \2/p' "$root/src/CMakeLists.txt")
if [ ${#floors[@]} -lt 2 ]; then
  echo "FAIL no lk_floor lines found in src/CMakeLists.txt"
  exit 1
fi

# Every floor a floor may include: itself and, transitively, those below.
allowed_of() {
  local out=" $1 " todo=(${below[$1]}) f
  while [ ${#todo[@]} -gt 0 ]; do
    f=${todo[0]}
    todo=("${todo[@]:1}")
    case "$out" in *" $f "*) continue ;; esac
    out+="$f "
    todo+=(${below[$f]:-})
  done
  echo "$out"
}

all=" ${floors[*]} app tools "
fail=0
check() {  # folder, the floors it may include
  local folder=$1 ok=$2 file line target
  [ -d "$root/src/$folder" ] || return 0
  while IFS= read -r hit; do
    file=${hit%%:*}
    line=${hit#*:}
    target=$(sed -nE 's/^[0-9]+:#include +"([a-z_]+)\/.*/\1/p' <<<"$line")
    case "$all" in *" $target "*) ;; *) continue ;; esac
    case "$ok" in *" $target "*) continue ;; esac
    echo "FAIL ${file#$root/}:${line%%:*} ($folder) includes $target/"
    fail=1
  done < <(grep -rnE '^#include +"[a-z_]+/' "$root/src/$folder" --include='*.h' --include='*.cpp' || true)
}
for f in "${floors[@]}"; do
  check "$f" "$(allowed_of "$f")"
done
check app " ${floors[*]} app "
check tools " ${floors[*]} tools "

# The core of each floor (not its screens/ or platform/) stays free of Qt screens.
for f in "${floors[@]}"; do
  [ -d "$root/src/$f" ] || continue
  bad=$(grep -nE '^#include +"[a-z_]+/screens/|^#include +<Q' "$root/src/$f"/*.h "$root/src/$f"/*.cpp 2>/dev/null || true)
  if [ -n "$bad" ]; then
    echo "FAIL the core of $f/ includes screens or Qt:"
    echo "$bad"
    fail=1
  fi
done

[ "$fail" = 0 ] || exit 1
echo "layers: ok (${floors[*]}, app, tools)"
