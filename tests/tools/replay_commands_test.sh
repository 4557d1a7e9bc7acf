#!/usr/bin/env bash
# luminakey-tool pairs / replay on a small store: か し three times over,
# the last し with a miss, so the pair figures can be counted by hand.
set -u
tool=$1
failures=0
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

fail() { echo "FAIL $1"; failures=$((failures + 1)); }
check() { [ "$2" == "$3" ] || { fail "$1"; echo "  got:  $(printf '%q' "$3")"; echo "  want: $(printf '%q' "$2")"; }; }

# The keystroke column: per key the time step (zigzag), expected, typed,
# unit and place*2+hit, each a little-endian base-128 number.
varint() { local v=$1; while [ "$v" -ge 128 ]; do printf '%02x' $(((v & 127) | 128)); v=$((v >> 7)); done; printf '%02x' "$v"; }
key() { varint $(($1 * 2)); varint "$(printf '%d' "'$2")"; varint "$(printf '%d' "'$3")"; varint "$4"; varint $((($5 << 1) | $6)); }

# Keys at 100 200 | 400 500 | 550 600 | 900 1000 | 1050 1100 | 1200(miss) 1300 1400.
run1=$(key 100 k k 0 0 1; key 100 a a 0 1 1; key 200 s s 1 0 1; key 100 i i 1 1 1
       key 50 k k 0 0 1; key 50 a a 0 1 1; key 300 s s 1 0 1; key 100 i i 1 1 1
       key 50 k k 0 0 1; key 50 a a 0 1 1; key 100 s d 1 0 0; key 100 s s 1 0 1; key 100 i i 1 1 1)
db=$dir/luminakey.db
sqlite3 "$db" <<SQL
CREATE TABLE runs(id INTEGER PRIMARY KEY AUTOINCREMENT, started TEXT NOT NULL, mode TEXT NOT NULL,
  title TEXT NOT NULL, questions INTEGER NOT NULL, chars INTEGER NOT NULL, misses INTEGER NOT NULL,
  seconds INTEGER NOT NULL, speed INTEGER NOT NULL, accuracy INTEGER NOT NULL, settings TEXT NOT NULL);
CREATE TABLE keystrokes(run_id INTEGER PRIMARY KEY REFERENCES runs(id) ON DELETE CASCADE,
  units TEXT NOT NULL, data BLOB NOT NULL);
INSERT INTO runs VALUES(1, '2026-01-02T03:04:05', 'word', '初級', 3, 12, 1, 2, 360, 92, 'saidai=30 koukaon=0');
INSERT INTO keystrokes VALUES(1, 'か' || char(10) || 'し', X'$run1');
PRAGMA user_version = 1;
SQL

tab=$'\t'
header="first${tab}second${tab}count${tab}misses${tab}median_ms"
# し after か: 300 and 400 ms clean, the third missed (no time); し→か came only twice.
check pairs-units "$header
か${tab}し${tab}3${tab}1${tab}350" "$("$tool" pairs --db "$db" --run 1)"
check pairs-keys "$header
a${tab}s${tab}3${tab}1${tab}250
s${tab}i${tab}3${tab}0${tab}100
k${tab}a${tab}3${tab}0${tab}50" "$("$tool" pairs --db "$db" --last 1 --keys)"
check pairs-default "$("$tool" pairs --db "$db" --run 1)" "$("$tool" pairs --db "$db")"

got=$("$tool" replay --db "$db" --run 1)
check replay-status 0 $?
check replay-head "ms${tab}key${tab}expected${tab}result${tab}unit
100${tab}k${tab}k${tab}hit${tab}か
200${tab}a${tab}a${tab}hit${tab}か" "$(head -3 <<<"$got")"
check replay-miss "1200${tab}d${tab}s${tab}miss${tab}し" "$(grep miss <<<"$got")"
check replay-lines 14 "$(wc -l <<<"$got")"

# Errors: a run not in the store, no run given, a missing store.
"$tool" replay --db "$db" --run 9 >/dev/null 2>"$dir/err"
check replay-unknown-status 1 $?
check replay-unknown-message "$db: no run 9" "$(cat "$dir/err")"
"$tool" replay --db "$db" >/dev/null 2>&1
check replay-no-run-status 2 $?
"$tool" pairs --db "$dir/none.db" >/dev/null 2>&1
check pairs-missing-status 1 $?

[ "$failures" -eq 0 ] && echo "replay commands: all passed"
exit "$failures"
