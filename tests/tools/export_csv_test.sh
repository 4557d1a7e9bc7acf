#!/usr/bin/env bash
# luminakey-tool export-csv: the CSV of the analysis screen's button, byte
# for byte, with titles a spreadsheet would otherwise take for formulas;
# stores it must refuse and files it cannot write.
set -u
tool=$1
failures=0
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

fail() { echo "FAIL $1"; failures=$((failures + 1)); }
check() { [ "$2" == "$3" ] || { fail "$1"; echo "  got:  $(printf '%q' "$3")"; echo "  want: $(printf '%q' "$2")"; }; }

# A store in the first layout, which the tool reads without changing it.
db=$dir/luminakey.db
sqlite3 "$db" <<'SQL'
CREATE TABLE runs(id INTEGER PRIMARY KEY AUTOINCREMENT, started TEXT NOT NULL, mode TEXT NOT NULL,
  title TEXT NOT NULL, questions INTEGER NOT NULL, chars INTEGER NOT NULL, misses INTEGER NOT NULL,
  seconds INTEGER NOT NULL, speed INTEGER NOT NULL, accuracy INTEGER NOT NULL, settings TEXT NOT NULL);
CREATE TABLE keystrokes(run_id INTEGER PRIMARY KEY REFERENCES runs(id) ON DELETE CASCADE,
  units TEXT NOT NULL, data BLOB NOT NULL);
INSERT INTO runs VALUES(1, '2026-01-02T03:04:05', 'word', '初 級', 2, 40, 3, 12, 200, 93, '');
INSERT INTO runs VALUES(2, '2026-01-02T03:05:00', 'word', '=cmd|'' /C calc''!A0', 1, 4, 0, 2, 120, 100, '');
INSERT INTO runs VALUES(3, '2026-01-02T03:06:00', 'char', '=1+2', 0, 20, 1, 60, 20, 95, '');
INSERT INTO runs VALUES(4, '2026-01-02T03:07:00', 'music', '歌, "名曲"', 4, 30, 2, 20, 90, 93, '');
INSERT INTO runs VALUES(5, '2026-01-02T03:08:00', 'word', '+a', 1, 1, 0, 1, 60, 100, '');
INSERT INTO runs VALUES(6, '2026-01-02T03:09:00', 'word', '-1', 1, 1, 0, 1, 60, 100, '');
INSERT INTO runs VALUES(7, '2026-01-02T03:10:00', 'word', '@SUM(A1), x', 1, 1, 0, 1, 60, 100, '');
INSERT INTO runs VALUES(8, '2026-01-02T03:11:00', 'word', char(9) || 'tab', 1, 1, 0, 1, 60, 100, '');
INSERT INTO runs VALUES(9, '2026-01-02T03:12:00', 'word', char(13) || 'cr', 1, 1, 0, 1, 60, 100, '');
INSERT INTO runs VALUES(10, '2026-01-02T03:13:00', 'word', 'a=b', 1, 1, 0, 1, 60, 100, '');
PRAGMA user_version = 1;
SQL

"$tool" export-csv --db "$db" "$dir/out.csv"
check status 0 $?
want=$(printf '\xef\xbb\xbfid,started,mode,title,questions,chars,misses,seconds,speed,accuracy\r
1,2026-01-02T03:04:05,word,初 級,2,40,3,12,200,93\r
2,2026-01-02T03:05:00,word,'"'"'=cmd|'"'"' /C calc'"'"'!A0,1,4,0,2,120,100\r
3,2026-01-02T03:06:00,char,'"'"'=1+2,0,20,1,60,20,95\r
4,2026-01-02T03:07:00,music,"歌, ""名曲""",4,30,2,20,90,93\r
5,2026-01-02T03:08:00,word,'"'"'+a,1,1,0,1,60,100\r
6,2026-01-02T03:09:00,word,'"'"'-1,1,1,0,1,60,100\r
7,2026-01-02T03:10:00,word,"'"'"'@SUM(A1), x",1,1,0,1,60,100\r
8,2026-01-02T03:11:00,word,'"'"'\ttab,1,1,0,1,60,100\r
9,2026-01-02T03:12:00,word,"'"'"'\rcr",1,1,0,1,60,100\r
10,2026-01-02T03:13:00,word,a=b,1,1,0,1,60,100\r
' | od -An -tx1)
check csv "$want" "$(od -An -tx1 < "$dir/out.csv")"
check store-left-as-it-was 1 "$(sqlite3 "$db" 'PRAGMA user_version')"

# An existing file is replaced whole.
printf 'old text that is longer than nothing\n%.0s' {1..200} > "$dir/old.csv"
"$tool" export-csv --db "$db" "$dir/old.csv"
cmp -s "$dir/out.csv" "$dir/old.csv" || fail replaced-whole

# Usage errors exit 2; a store that cannot be read or a file that cannot be
# written exit 1, and nothing is written.
"$tool" export-csv "$dir/x.csv" >/dev/null 2>&1
check no-db 2 $?
"$tool" export-csv --db "$db" >/dev/null 2>&1
check no-out 2 $?
"$tool" export-csv --db "$db" "$dir/a.csv" "$dir/b.csv" >/dev/null 2>&1
check two-outs 2 $?
"$tool" export-csv --db "$dir/none.db" "$dir/none.csv" >/dev/null 2>&1
check missing-store 1 $?
[ -e "$dir/none.csv" ] && fail missing-store-wrote
[ -e "$dir/none.db" ] && fail missing-store-created
head -c 4096 /dev/urandom > "$dir/junk.db"
"$tool" export-csv --db "$dir/junk.db" "$dir/junk.csv" >/dev/null 2>&1
check junk-store 1 $?
[ -e "$dir/junk.csv" ] && fail junk-store-wrote
err=$("$tool" export-csv --db "$db" "$dir/no/such/dir/out.csv" 2>&1 >/dev/null)
check unwritable 1 $?
case $err in *"cannot be written"*) ;; *) fail "unwritable-message: $err" ;; esac

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "export-csv: all checks passed"
