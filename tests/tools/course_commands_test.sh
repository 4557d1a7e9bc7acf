#!/usr/bin/env bash
# luminakey-tool course / course-lesson: the first lesson's state, a lesson by seed, bad usage.
set -u
tool=$1
failures=0
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

fail() { echo "FAIL $1"; failures=$((failures + 1)); }
check() { [ "$2" == "$3" ] || { fail "$1"; echo "  got:  $(printf '%q' "$3")"; echo "  want: $(printf '%q' "$2")"; }; }

# A missing store is the first lesson: the vowels first, eight units in, the last of them the focus.
out=$("$tool" course --db "$dir/none.db")
check course-status 0 $?
check header $'unit\tstate\tconfidence\tbest\treached\tmisses_recent\tsamples' "$(head -1 <<<"$out")"
check vowels $'あ\nい\nう\nえ\nお' "$(sed -n 2,6p <<<"$out" | cut -f1)"
check included 7 "$(cut -f2 <<<"$out" | grep -c '^included$')"
check focus-line 9 "$(grep -n $'\tfocus\t' <<<"$out" | cut -d: -f1)"
check locked-rest "$(($(wc -l <<<"$out") - 9))" "$(cut -f2 <<<"$out" | grep -c '^locked$')"

# The same seed draws the same lesson; every line is TEXT<TAB>READING.
a=$("$tool" course-lesson --db "$dir/none.db" --seed 42)
b=$("$tool" course-lesson --db "$dir/none.db" --seed 42)
check lesson-repeatable "$a" "$b"
[ "$(wc -l <<<"$a")" -ge 10 ] || fail lesson-length
grep -qv $'^[^\t]\+\t[ぁ-ゖー]\+$' <<<"$a" && fail lesson-format

# Bad usage is exit 2; a file that is no store is exit 1 with nothing on stdout.
"$tool" course --db "$dir/none.db" --target 59 >/dev/null 2>&1
check target-range 2 $?
"$tool" course-lesson --db "$dir/none.db" >/dev/null 2>&1
check seed-required 2 $?
echo "not a store" > "$dir/bad.db"
got=$("$tool" course --db "$dir/bad.db" 2>/dev/null)
check bad-store 1 $?
check bad-store-silent "" "$got"

exit $((failures > 0))
