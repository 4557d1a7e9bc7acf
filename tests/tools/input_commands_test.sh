#!/usr/bin/env bash
# What luminakey-tool takes as input: UTF-8 only (a bad line is an error by
# its number, never a guessed character), every kind of line end, an output
# that is never its own input, and a music file with a bad byte reported as
# a read failure.
set -u
tool=$1
failures=0
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
data=$(cd "$(dirname "$0")/.." && pwd)

fail() { echo "FAIL $1"; failures=$((failures + 1)); }
check() { [ "$2" == "$3" ] || { fail "$1"; echo "  got:  $(printf '%q' "$3")"; echo "  want: $(printf '%q' "$2")"; }; }

# Invalid UTF-8 in line 2, in each way a byte sequence can be wrong.
while IFS='|' read -r name bytes; do
  out=$(printf "ka\\n${bytes}\\nki\\n" | "$tool" to-kana 2>"$dir/err")
  check "utf8-$name-status" 1 $?
  check "utf8-$name-stdout" "" "$out"
  check "utf8-$name-stderr" "luminakey-tool to-kana: line 2: not UTF-8" "$(cat "$dir/err")"
done <<'CASES'
latin-1|k\xe9
lone continuation byte|\x80
overlong slash|\xc0\xaf
surrogate|\xed\xa0\x80
cut short|\xe3\x81
beyond U+10FFFF|\xf4\x90\x80\x80
CASES
# Every command that reads lines refuses the same way.
for cmd in "to-romaji" "rewrite" "units" "guide" "match ka"; do
  printf 'ka\n\xff\n' | "$tool" $cmd >/dev/null 2>"$dir/err"
  check "utf8-${cmd%% *}-status" 1 $?
  check "utf8-${cmd%% *}-stderr" "luminakey-tool ${cmd%% *}: line 2: not UTF-8" "$(cat "$dir/err")"
done
printf '柿\tかき\n\x82\xa9\tか\n' > "$dir/sjis.txt"
"$tool" make-problems --title t "$dir/sjis.txt" "$dir/sjis_out.txt" 2>"$dir/err"
check utf8-make-problems-status 1 $?
check utf8-make-problems-stderr "luminakey-tool make-problems: line 2: not UTF-8" "$(cat "$dir/err")"
[ -e "$dir/sjis_out.txt" ] && fail utf8-make-problems-wrote
# Valid multi-byte text still passes, U+10FFFF included.
check utf8-valid $'か\nき' "$(printf 'ka\nki' | "$tool" to-kana)"
printf '\xf4\x8f\xbf\xbf\n' | "$tool" to-kana >/dev/null
check utf8-max-status 0 $?

# Line ends: LF, CR LF and a lone CR each end a line; a last line needs none.
check cr-only $'か\nき\nく' "$(printf 'ka\rki\rku\r' | "$tool" to-kana)"
check mixed $'か\nき\n\nく' "$(printf 'ka\r\nki\n\rku' | "$tool" to-kana)"
printf '柿\tかき\r学校\tがっこう\r' > "$dir/cr.txt"
"$tool" make-problems --title t "$dir/cr.txt" "$dir/cr_out.txt"
check cr-make-status 0 $?
check cr-make-problems $'ntrafile\n2\nt\n柿\tkaki\n学校\tgakkou' "$("$tool" show "$dir/cr_out.txt")"

# make-problems never writes over its input, under any name.
printf '柿\tかき\n' > "$dir/in.txt"
mkdir "$dir/sub"
ln -s in.txt "$dir/link.txt"
ln "$dir/in.txt" "$dir/hard.txt"
cp "$dir/in.txt" "$dir/in.orig"
while IFS='|' read -r name in out; do
  "$tool" make-problems --title t "$in" "$out" 2>"$dir/err"
  check "same-$name-status" 1 $?
  check "same-$name-stderr" "luminakey-tool: $out is the input file; nothing written" "$(cat "$dir/err")"
  cmp -s "$dir/in.txt" "$dir/in.orig" || fail "same-$name-input-changed"
done <<CASES
same name|$dir/in.txt|$dir/in.txt
another path|$dir/in.txt|$dir/./sub/../in.txt
a link to it|$dir/in.txt|$dir/link.txt
a hard link|$dir/hard.txt|$dir/in.txt
CASES
"$tool" make-problems --title t - "$dir/in.txt" <"$dir/in.txt" 2>"$dir/err"
check same-stdin-status 1 $?
cmp -s "$dir/in.txt" "$dir/in.orig" || fail same-stdin-input-changed
# A different output is written as before.
"$tool" make-problems --title t "$dir/in.txt" "$dir/other.txt"
check other-output-status 0 $?

# show: a music file with a byte code page 932 lacks is a music file that
# fails to read, not a file of another kind.
{ head -c 40 "$data/records/data/music_golden.txt"; printf '\xff'; tail -c +41 "$data/records/data/music_golden.txt"; } > "$dir/bad_song.txt"
got=$("$tool" show "$dir/bad_song.txt")
check show-music-bad-byte-status 1 $?
check show-music-bad-byte "読み込みに失敗しました。" "$got"
check show-music-bad-byte-editor "問題の読み込みに失敗しました。" "$("$tool" show "$dir/bad_song.txt" --as editor)"
# A typing file with a bad byte stays a typing file.
{ printf '"ntrafile"\r\n1\r\n"\xff"\r\n"a"\r\n"a"\r\n'; } > "$dir/bad_typing.txt"
check show-typing-bad-byte "読み込みに失敗しました。" "$("$tool" show "$dir/bad_typing.txt")"

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "tool input: all checks passed"
