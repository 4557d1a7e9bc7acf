#!/usr/bin/env bash
# luminakey-tool reading / make-problems: output, files and exit status.
set -u
tool=$1
failures=0
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

fail() { echo "FAIL $1"; failures=$((failures + 1)); }

# check NAME WANT GOT
check() { [ "$2" == "$3" ] || { fail "$1"; echo "  got:  $(printf '%q' "$3")"; echo "  want: $(printf '%q' "$2")"; }; }

# reading: one reading per line, empty lines stay empty.
got=$(printf '漢字\n\nGood morning!\n東京都23区\n13時50分\n' | "$tool" reading)
check reading $'かんじ\n\nGood morning!\nとうきょうと23く\n13じ50ぷん' "$got"

# make-problems: given and looked-up readings, a blank line skipped; the menu reads the file.
printf '柿\tかき\n学校\n\nGood morning!\tGood morning!\n' > "$dir/in.txt"
"$tool" make-problems --title 'テスト, 1' "$dir/in.txt" "$dir/out.txt"
check make-status 0 $?
got=$("$tool" show "$dir/out.txt" --as menu)
check make-menu-reads $'ntrafile\n3\nテスト, 1\n柿\tkaki\n学校\tgakkou\nGood morning!\t*g**o**o**d* *m**o**r**n**i**n**g*!' "$got"
head -c 12 "$dir/out.txt" | od -c | grep -q '\\r  \\n' || fail make-crlf

# Lines that cannot be problems: each reported with its number, nothing written.
printf '柿\tか*き\n\t\tx\n"a"\tx\n\tあ\nよい\tよい\n' > "$dir/bad.txt"
err=$("$tool" make-problems --title t "$dir/bad.txt" "$dir/bad_out.txt" 2>&1 >/dev/null)
check bad-status 1 $?
for n in 1 2 3 4; do grep -q "bad.txt:$n: " <<<"$err" || fail "bad-line-$n"; done
grep -q "bad.txt:5: " <<<"$err" && fail bad-line-5-is-fine
[ -e "$dir/bad_out.txt" ] && fail bad-nothing-written

# The lookup gives nothing when any part has no reading; widths are folded first.
got=$(printf '鬱\nﾊﾟｿｺﾝ\nＡＢＣ\n' | "$tool" reading)
check reading-unknown-and-widths $'\nぱそこん\nABC' "$got"

# A line whose reading is not known, or cannot be typed, is an error by its number.
printf '柿\n鬱\nか\tか♪\nく\tｶﾀｶﾅ\nけ\t漢字\nこ\tこ\xe3\x80\x9cご\nさ\tＫＯＢＥ\n' > "$dir/reads.txt"
err=$("$tool" make-problems --title t "$dir/reads.txt" "$dir/reads_out.txt" 2>&1 >/dev/null)
check reads-status 1 $?
check reads-errors "$(printf '%s\n' "$dir/reads.txt:2: no reading known" "$dir/reads.txt:3: reading cannot be typed" \
  "$dir/reads.txt:4: reading cannot be typed" "$dir/reads.txt:5: reading cannot be typed" "luminakey-tool: nothing written")" "$err"
[ -e "$dir/reads_out.txt" ] && fail reads-nothing-written
# Without the faulty lines the file is written: the wave dash and full-width letters typeable.
sed -n '1p;6,7p' "$dir/reads.txt" | "$tool" make-problems --title t - "$dir/reads_ok.txt"
check reads-ok-status 0 $?
check reads-ok "$(printf 'ntrafile\n3\nt\n柿\tkaki\nこ\tko~go\nさ\t*k**o**b**e*')" "$("$tool" show "$dir/reads_ok.txt" --as menu)"

# 101 problems are one too many; 100 are fine.
for i in $(seq 1 101); do printf 'か%d\tか\n' "$i"; done > "$dir/many.txt"
err=$("$tool" make-problems --title t "$dir/many.txt" "$dir/many_out.txt" 2>&1 >/dev/null)
check many-status 1 $?
grep -q "many.txt:101: " <<<"$err" || fail many-line
head -n 100 "$dir/many.txt" | "$tool" make-problems --title t - "$dir/hundred.txt"
check hundred-status 0 $?
check hundred-count 100 "$("$tool" show "$dir/hundred.txt" --as menu | sed -n 2p)"

# Nothing to write, and usage errors (one line, status 2).
: > "$dir/empty.txt"
"$tool" make-problems --title t "$dir/empty.txt" "$dir/e.txt" 2>/dev/null
check empty-status 1 $?
for args in "make-problems $dir/in.txt $dir/o.txt" "make-problems --title t $dir/in.txt" "reading extra"; do
  # shellcheck disable=SC2086
  err=$("$tool" $args 2>&1 >/dev/null)
  rc=$?
  [ "$rc" = 2 ] && [ "$(wc -l <<<"$err")" = 1 ] || fail "usage: $args (status $rc)"
done

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "all editor command checks passed"
