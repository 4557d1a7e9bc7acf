#!/usr/bin/env bash
# luminakey-tool history / keys / units-stats on a store written in the
# first layout (which the tool reads without changing it), and stores it
# must refuse.
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

# Run 1, word: し typed s-u-i, then か with two misses (s instead of a).
run1=$(key 100 s s 0 0 1; key 150 i u 0 1 0; key 150 i i 0 1 1; key 200 k k 1 0 1; key 100 a s 1 1 0; key 100 a s 1 1 0; key 50 a a 1 1 1)
# Run 2, one-character: a, then b missed once with n.
run2=$(key 300 a a 0 0 1; key 200 b n 1 0 0; key 100 b b 1 0 1)
db=$dir/luminakey.db
sqlite3 "$db" <<SQL
CREATE TABLE runs(id INTEGER PRIMARY KEY AUTOINCREMENT, started TEXT NOT NULL, mode TEXT NOT NULL,
  title TEXT NOT NULL, questions INTEGER NOT NULL, chars INTEGER NOT NULL, misses INTEGER NOT NULL,
  seconds INTEGER NOT NULL, speed INTEGER NOT NULL, accuracy INTEGER NOT NULL, settings TEXT NOT NULL);
CREATE TABLE keystrokes(run_id INTEGER PRIMARY KEY REFERENCES runs(id) ON DELETE CASCADE,
  units TEXT NOT NULL, data BLOB NOT NULL);
INSERT INTO runs VALUES(1, '2026-01-02T03:04:05', 'word', '初 級', 2, 4, 3, 12, 20, 25, 'saidai=30 koukaon=0');
INSERT INTO keystrokes VALUES(1, 'し' || char(10) || 'か', X'$run1');
INSERT INTO runs VALUES(2, '2026-01-03T10:00:00', 'char', '一文字', 0, 2, 1, 60, 2, 67, 'saidai=30 koukaon=0');
INSERT INTO keystrokes VALUES(2, 'a' || char(10) || 'b', X'$run2');
PRAGMA user_version = 1;
SQL

tab=$'\t'
got=$("$tool" history --db "$db")
check history-status 0 $?
check history "id${tab}started${tab}mode${tab}title${tab}chars${tab}misses${tab}seconds${tab}speed${tab}accuracy
1${tab}2026-01-02T03:04:05${tab}word${tab}初 級${tab}4${tab}3${tab}12${tab}20${tab}25
2${tab}2026-01-03T10:00:00${tab}char${tab}一文字${tab}2${tab}1${tab}60${tab}2${tab}67" "$got"
check store-left-as-it-was 1 "$(sqlite3 "$db" 'PRAGMA user_version')"
got=$("$tool" history --db "$db" --last 1 | tail -n +2 | cut -f1)
check history-last 2 "$got"

# keys: the last run by default, one run, the last N (misses, then key).
# The first key of each run (s, a) waited for the question: no time.
header="key${tab}count${tab}misses${tab}median_ms${tab}typed_instead"
check keys-default "$header
b${tab}2${tab}1${tab}100${tab}n:1
a${tab}1${tab}0${tab}${tab}" "$("$tool" keys --db "$db")"
check keys-run "$header
a${tab}3${tab}2${tab}50${tab}s:2
i${tab}2${tab}1${tab}150${tab}u:1
k${tab}1${tab}0${tab}200${tab}
s${tab}1${tab}0${tab}${tab}" "$("$tool" keys --db "$db" --run 1)"
check keys-last "$header
a${tab}4${tab}2${tab}50${tab}s:2
b${tab}2${tab}1${tab}100${tab}n:1
i${tab}2${tab}1${tab}150${tab}u:1
k${tab}1${tab}0${tab}200${tab}
s${tab}1${tab}0${tab}${tab}" "$("$tool" keys --db "$db" --last 2)"

check units-stats "unit${tab}count${tab}misses${tab}median_ms
か${tab}4${tab}2${tab}125
b${tab}2${tab}1${tab}100
し${tab}3${tab}1${tab}150
a${tab}1${tab}0${tab}" "$("$tool" units-stats --db "$db" --last 2)"
check units-default "$(printf 'unit\tcount\tmisses\tmedian_ms\nb\t2\t1\t100\na\t1\t0\t')" "$("$tool" units-stats --db "$db")"

# A key never hit has an empty time.
run3=$(key 100 z q 0 0 0)
sqlite3 "$db" "INSERT INTO runs(started, mode, title, questions, chars, misses, seconds, speed, accuracy, settings)
  VALUES('2026-01-04T00:00:00', 'music', '歌', 1, 0, 1, 1, 0, 0, '');
  INSERT INTO keystrokes VALUES(last_insert_rowid(), 'ず', X'$run3');"
check keys-never-hit "z${tab}1${tab}1${tab}${tab}q:1" "$("$tool" keys --db "$db" | tail -n 1)"
check units-never-hit "ず${tab}1${tab}1${tab}" "$("$tool" units-stats --db "$db" | tail -n 1)"

# Usage errors exit 2; stores that cannot be read exit 1 and stay as they were.
"$tool" history >/dev/null 2>&1
check no-db 2 $?
"$tool" keys --db "$db" --run 1 --last 2 >/dev/null 2>&1
check run-and-last 2 $?
"$tool" history --db "$db" --last 0 >/dev/null 2>&1
check last-zero 2 $?
"$tool" keys --db "$db" --run 99 >/dev/null 2>&1
check unknown-run 1 $?
"$tool" history --db "$dir/none.db" >/dev/null 2>&1
check missing-status 1 $?
[ -e "$dir/none.db" ] && fail missing-created
head -c 4096 /dev/urandom > "$dir/junk.db"
cp "$dir/junk.db" "$dir/junk.orig"
"$tool" keys --db "$dir/junk.db" >/dev/null 2>&1
check junk-status 1 $?
cmp -s "$dir/junk.db" "$dir/junk.orig" || fail junk-changed

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "history commands: all checks passed"
