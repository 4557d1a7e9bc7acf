#!/usr/bin/env bash
# luminakey-tool show and rewrite --settings: output and exit status.
set -u
tool=$1
data=$(cd "$(dirname "$0")/.." && pwd)
failures=0
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

fail() { echo "FAIL $1"; failures=$((failures + 1)); }
# check NAME WANT GOT
check() { [ "$2" == "$3" ] || { fail "$1"; echo "  got:  $(printf '%q' "$3")"; echo "  want: $(printf '%q' "$2")"; }; }

tab=$'\t'

# Typing problem file: menu by default, readings as kana for the editor.
got=$("$tool" show "$data/records/data/typing_golden.txt")
check typing-status 0 $?
check typing-menu $'ntrafile\n3\n春の言葉, その一\n桜、さくら\tsakura\nC:\\temp と ~\t*c*:*\\*temp*to*~\n日本語\tnihonngo' "$got"
got=$("$tool" show "$data/records/data/typing_golden.txt" --as editor | sed -n '4p;6p')
check typing-editor "桜、さくら${tab}さくら"$'\n'"日本語${tab}にほんご" "$got"

# Refusals and failures: the reader's message alone, status 1.
got=$("$tool" show "$data/records/data/typing_unfinished_golden.txt")
check unfinished-status 1 $?
check unfinished-menu "このファイルは作成途中です。" "$got"
got=$("$tool" show "$data/records/data/typing_unfinished_golden.txt" --as=editor | head -1)
check unfinished-editor "prentrafile" "$got"
got=$("$tool" show "$data/records/data/typing_empty_golden.txt")
check empty-menu "読み込みに失敗しました。" "$got"
got=$("$tool" show "$dir/missing.txt" --as editor)
check missing-status 1 $?
check missing-editor "問題の読み込みに失敗しました。" "$got"
got=$("$tool" show "$data/records/data/set_golden.dat")
check other-magic "このファイルは読み込めません。" "$got"

# Music problem file, told apart by its magic word.
got=$("$tool" show "$data/records/data/music_golden.txt" | tail -1)
check music-menu "ランラララ, ラ${tab}らん ら ら${tab}rannrara${tab}\\10x2x0x" "$got"
got=$("$tool" show "$data/records/data/music_golden.txt" --as editor | sed -n '1,2p;5p')
check music-editor $'miditrafile\n2\n'"ランラララ, ラ${tab}らん ら ら${tab}+ド-シ#ド" "$got"

# set.dat and rank.dat are known by their names.
cp "$data/records/data/set_golden.dat" "$dir/set.dat"
got=$("$tool" show "$dir/set.dat")
check settings-status 0 $?
check settings-head $'1\n50\nka=ka\nku=ku\nko=ko\nsi=shi' "$(head -6 <<<"$got")"
check settings-lines 93 "$(wc -l <<<"$got" | tr -d ' ')"
check settings-last "vo=vo" "$(tail -1 <<<"$got")"
got=$("$tool" show "$dir/nowhere/set.dat")
check settings-missing "設定の読み込みに失敗しました。設定はすべて初期化されます。" "$got"

cp "$data/records/data/rank_golden.dat" "$dir/rank.dat"
got=$("$tool" show "$dir/rank.dat")
check rank-head "1${tab}267${tab}98${tab}200${tab}04/12/25 03:05 PM${tab}初級"$'\n'"2${tab}150${tab}-25${tab}120${tab}05/01/02 12:00 AM${tab}歌の題, 副題" "$(head -2 <<<"$got")"
check rank-empty-row "10${tab}${tab}${tab}${tab}${tab}" "$(tail -1 <<<"$got")"
check rank-lines 10 "$(wc -l <<<"$got" | tr -d ' ')"
mkdir "$dir/short" && head -n 7 "$dir/rank.dat" > "$dir/short/rank.dat"
got=$("$tool" show "$dir/short/rank.dat")
check rank-short "ランキングの読み込みに失敗しました。" "$got"

# Not a regular file: refused at once (a FIFO with no writer would hang a plain read).
mkfifo "$dir/fifo" "$dir/rank.dat.fifo"
mkdir -p "$dir/links" && ln -s "$dir/rank.dat.fifo" "$dir/links/rank.dat"
for special in "$dir/fifo" "$dir/links/rank.dat" /dev/null "$dir/short"; do
  err=$(timeout 10 "$tool" show "$special" 2>&1 >/dev/null)
  check "special-status $special" 1 $?
  check "special-message $special" "$special: not a regular file" "$err"
done
err=$(printf 'x\n' | timeout 10 "$tool" rewrite --settings "$dir/fifo" 2>&1 >/dev/null)
check special-settings-status 1 $?
check special-settings-message "$dir/fifo: not a regular file" "$err"
err=$(timeout 10 "$tool" make-problems --title t "$dir/fifo" "$dir/out.txt" 2>&1 >/dev/null)
check special-make-in "1 $dir/fifo: not a regular file" "$? $err"
printf 'a\tあ\n' > "$dir/in.txt"
err=$(timeout 10 "$tool" make-problems --title t "$dir/in.txt" "$dir/fifo" 2>&1 >/dev/null)
check special-make-out "1 $dir/fifo: not a regular file" "$? $err"

# Usage errors: status 2.
"$tool" show >/dev/null 2>&1
check usage-no-file 2 $?
"$tool" show "$dir/set.dat" --as player >/dev/null 2>&1
check usage-bad-as 2 $?

# rewrite --settings: the file first, then every --set on top, wherever it stands.
got=$(printf 'sinnbunn\n' | "$tool" rewrite --settings "$dir/set.dat")
check settings-rewrite "shinbunn" "$got"
got=$(printf 'sinnbunn\n' | "$tool" rewrite --set si=ci --settings="$dir/set.dat")
check settings-then-set "cinbunn" "$got"
printf 'x\n' | "$tool" rewrite --settings "$dir/nowhere/set.dat" >/dev/null 2>&1
check settings-unreadable 2 $?

[ "$failures" -eq 0 ] && echo "all files command checks passed"
exit $(( failures > 0 ))
