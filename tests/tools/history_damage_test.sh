#!/usr/bin/env bash
# luminakey-tool history / keys / units-stats / weak on a store a crash left
# with a hot journal (rolled back, in place or on a copy when the folder
# cannot be written) and on a store with a damaged page (FILE: damaged).
set -u
tool=$1
failures=0
dir=$(mktemp -d)
chmod 755 "$dir"
trap 'chmod -R u+w "$dir"; rm -rf "$dir"' EXIT

fail() { echo "FAIL $1"; failures=$((failures + 1)); }
# check NAME WANT GOT (long outputs are shown by their first differing line)
check() {
  [ "$2" == "$3" ] && return
  fail "$1"
  diff <(echo "$2") <(echo "$3") | head -n 4 | sed 's/^/  /'
}

# A store in the first layout with 120 runs of 600 keys (zero bytes decode
# as keys): far more pages than the crashing connection's cache holds.
good=$dir/good.db
sqlite3 "$good" <<'SQL'
CREATE TABLE runs(id INTEGER PRIMARY KEY AUTOINCREMENT, started TEXT NOT NULL, mode TEXT NOT NULL,
  title TEXT NOT NULL, questions INTEGER NOT NULL, chars INTEGER NOT NULL, misses INTEGER NOT NULL,
  seconds INTEGER NOT NULL, speed INTEGER NOT NULL, accuracy INTEGER NOT NULL, settings TEXT NOT NULL);
CREATE TABLE keystrokes(run_id INTEGER PRIMARY KEY REFERENCES runs(id) ON DELETE CASCADE,
  units TEXT NOT NULL, data BLOB NOT NULL);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 120)
INSERT INTO runs SELECT i, '2026-01-02T03:04:05', 'word', '初 級', 1, 600, 0, 60, 600, 100, '' FROM n;
INSERT INTO keystrokes SELECT id, 'a', zeroblob(3000) FROM runs;
PRAGMA user_version = 1;
SQL
want=$("$tool" history --db "$good")
check good-rows 121 "$(wc -l <<<"$want")"

# The crash: a copy of the file and its journal taken mid-transaction,
# after the cache has spilled changed pages into the file.
crash() {
  local to=$1
  sqlite3 "$good" "PRAGMA cache_size = 10" "BEGIN" "UPDATE runs SET title = 'lost'" "DELETE FROM keystrokes" \
    ".shell cp '$good' '$to'; cp '$good-journal' '$to-journal'"
  [ -s "$to-journal" ] || fail "crash-made-no-journal $to"
  cmp -s "$good" "$to" && fail "crash-changed-no-page $to"
}

# A folder the tool may write: the journal is rolled back in the file.
mkdir "$dir/rw"
crash "$dir/rw/luminakey.db"
for cmd in history keys units-stats weak; do
  "$tool" $cmd --db "$dir/rw/luminakey.db" >/dev/null 2>"$dir/err"
  check "hot-$cmd-status" "0" "$?"
  check "hot-$cmd-stderr" "" "$(cat "$dir/err")"
done
check hot-history "$want" "$("$tool" history --db "$dir/rw/luminakey.db")"
[ -e "$dir/rw/luminakey.db-journal" ] && fail hot-journal-left

# A folder the tool may not write (another user, as on an installed program
# folder): rolled back on a copy, the files left exactly as they were.
mkdir "$dir/ro"
crash "$dir/ro/luminakey.db"
cp "$dir/ro/luminakey.db" "$dir/ro.orig"
cp "$dir/ro/luminakey.db-journal" "$dir/ro-journal.orig"
chmod 444 "$dir/ro"/*
chmod 555 "$dir/ro"
as_reader=()
if [ "$(id -u)" = 0 ]; then as_reader=(setpriv --reuid=65534 --regid=65534 --clear-groups); fi
if ! "${as_reader[@]}" "$tool" --version >/dev/null 2>&1; then
  echo "SKIP read-only folder: the tool cannot be run as another user from here"
else
  got=$("${as_reader[@]}" "$tool" history --db "$dir/ro/luminakey.db" 2>"$dir/err")
  check ro-status 0 $?
  check ro-stderr "" "$(cat "$dir/err")"
  check ro-history "$want" "$got"
  cmp -s "$dir/ro/luminakey.db" "$dir/ro.orig" || fail ro-file-changed
  cmp -s "$dir/ro/luminakey.db-journal" "$dir/ro-journal.orig" || fail ro-journal-changed
fi

# A page damaged in the middle: "FILE: damaged" on stderr, exit 1, nothing
# on stdout, the file untouched.
cp "$good" "$dir/bad.db"
pages=$(( $(stat -c %s "$dir/bad.db") / $(sqlite3 "$good" 'PRAGMA page_size') ))
page_size=$(sqlite3 "$good" 'PRAGMA page_size')
head -c 100 /dev/zero | tr '\0' '\377' | dd of="$dir/bad.db" bs=1 seek=$((pages / 2 * page_size)) conv=notrunc status=none
cp "$dir/bad.db" "$dir/bad.orig"
for cmd in history keys units-stats weak; do
  out=$("$tool" $cmd --db "$dir/bad.db" 2>"$dir/err")
  check "damaged-$cmd-status" 1 $?
  check "damaged-$cmd-stderr" "$dir/bad.db: damaged" "$(cat "$dir/err")"
  check "damaged-$cmd-stdout" "" "$out"
done
cmp -s "$dir/bad.db" "$dir/bad.orig" || fail damaged-file-changed

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "history store damage: all checks passed"
