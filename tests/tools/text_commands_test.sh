#!/usr/bin/env bash
# luminakey-tool text-problems: sentences with looked-up readings, both
# encodings, errors by line, exit status.
set -u
tool=$1
failures=0
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

fail() { echo "FAIL $1"; failures=$((failures + 1)); }

# check NAME WANT GOT
check() { [ "$2" == "$3" ] || { fail "$1"; echo "  got:  $(printf '%q' "$3")"; echo "  want: $(printf '%q' "$2")"; }; }

# Sentences cut at their signs and line breaks, brackets no key types left out
# of the reading; the title is the start of the text when none is given.
printf '今日は雨です。学校へ行く！\n\n『猫』を見た。\n' > "$dir/in.txt"
"$tool" text-problems "$dir/in.txt" "$dir/out.txt"
check status 0 $?
got=$("$tool" show "$dir/out.txt" --as menu)
check menu-reads $'ntrafile\n3\n今日は雨です。学校へ行く！ 『猫』を見た\n今日は雨です。\tkyouhaamedesu.\n学校へ行く！\tgakkouheiku!\n『猫』を見た。\tnekowomita.' "$got"

# Shift-JIS input is told apart by its bytes; --title names the set.
printf '学校へ行く！' | iconv -f UTF-8 -t CP932 > "$dir/sjis.txt"
"$tool" text-problems --title 'テスト, 2' "$dir/sjis.txt" "$dir/sjis_out.txt"
check sjis-status 0 $?
got=$("$tool" show "$dir/sjis_out.txt" --as menu)
check sjis-reads $'ntrafile\n1\nテスト, 2\n学校へ行く！\tgakkouheiku!' "$got"

# A sentence without a known reading is an error by its line; nothing is written.
printf '雨です。\n\n鬱だ。猫だ。\n' > "$dir/unknown.txt"
err=$("$tool" text-problems "$dir/unknown.txt" "$dir/unknown_out.txt" 2>&1 >/dev/null)
check unknown-status 1 $?
check unknown-line "$dir/unknown.txt:3: no reading known" "$(head -n 1 <<<"$err")"
[ -e "$dir/unknown_out.txt" ] && fail unknown-nothing-written

# Bytes that are neither UTF-8 nor Shift-JIS, and an OUT that is IN, are refused.
printf '\x82\xa0\xff\xff' > "$dir/binary.txt"
"$tool" text-problems "$dir/binary.txt" "$dir/binary_out.txt" 2>/dev/null
check binary-status 1 $?
"$tool" text-problems "$dir/in.txt" "$dir/in.txt" 2>/dev/null
check same-file-status 1 $?
check same-file-kept "$(printf '今日は雨です。学校へ行く！\n\n『猫』を見た。\n')" "$(cat "$dir/in.txt")"

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "all text command checks passed"
