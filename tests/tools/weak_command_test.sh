#!/usr/bin/env bash
# luminakey-tool weak: the weakness scores of a small store, computed by hand.
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

# か clean, then し typed s-u-i with a slow s (200 ms), 100 ms a key. The
# run's first key (k) is reading the question, so it has no time.
run=$(key 100 k k 1 0 1; key 100 a a 1 1 1; key 200 s s 0 0 1; key 100 i u 0 1 0; key 100 i i 0 1 1)
db=$dir/luminakey.db
sqlite3 "$db" <<SQL
CREATE TABLE runs(id INTEGER PRIMARY KEY AUTOINCREMENT, started TEXT NOT NULL, mode TEXT NOT NULL,
  title TEXT NOT NULL, questions INTEGER NOT NULL, chars INTEGER NOT NULL, misses INTEGER NOT NULL,
  seconds INTEGER NOT NULL, speed INTEGER NOT NULL, accuracy INTEGER NOT NULL, settings TEXT NOT NULL);
CREATE TABLE keystrokes(run_id INTEGER PRIMARY KEY REFERENCES runs(id) ON DELETE CASCADE,
  units TEXT NOT NULL, data BLOB NOT NULL);
INSERT INTO runs VALUES(1, '2026-01-02T03:04:05', 'word', '初 級', 1, 4, 1, 1, 20, 80, 'saidai=30 koukaon=0');
INSERT INTO keystrokes VALUES(1, 'し' || char(10) || 'か', X'$run');
PRAGMA user_version = 1;
SQL

# Miss rate 1/5 and median 100 ms over all keys; with 8 keys of prior:
#   し (3 keys, 1 missed, median 150): (2.6/11 + 0.02)/0.22/2 + (2*1.5 + 8)/10/2 = 1.1326
#   か (2 keys, none missed, 100):     (1.6/10 + 0.02)/0.22/2 + 1/2             = 0.9091
tab=$'\t'
header="unit${tab}score${tab}misses${tab}count${tab}median_ms"
got=$("$tool" weak --db "$db")
check weak-status 0 $?
check weak "$header
し${tab}1.133${tab}1${tab}3${tab}150
か${tab}0.909${tab}0${tab}2${tab}100" "$got"
check weak-top "$header
し${tab}1.133${tab}1${tab}3${tab}150" "$("$tool" weak --db "$db" --top 1)"

# An empty store has a header only.
sqlite3 "$db" "DELETE FROM keystrokes; DELETE FROM runs"
check weak-empty "$header" "$("$tool" weak --db "$db")"

"$tool" weak >/dev/null 2>&1
check no-db 2 $?
"$tool" weak --db "$db" --top 0 >/dev/null 2>&1
check top-zero 2 $?
"$tool" weak --db "$dir/none.db" >/dev/null 2>&1
check missing-status 1 $?
[ -e "$dir/none.db" ] && fail missing-created

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "weak command: all checks passed"
