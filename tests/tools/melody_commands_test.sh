#!/usr/bin/env bash
# luminakey-tool prepare / melody: output and exit status.
set -u
tool=$1
failures=0

# expect NAME EXPECTED_STATUS EXPECTED_STDOUT COMMAND...
expect() {
  local name=$1 status=$2 want=$3
  shift 3
  local got rc
  got=$("$tool" "$@" 2>/tmp/lk_melody_err.$$ </dev/null)
  rc=$?
  if [ "$rc" != "$status" ] || [ "$got" != "$want" ]; then
    echo "FAIL $name: status $rc (want $status)"
    echo "  got:  $(printf '%q' "$got")"
    echo "  want: $(printf '%q' "$want")"
    failures=$((failures + 1))
  fi
  if [ "$status" = 2 ] && [ "$(wc -l < /tmp/lk_melody_err.$$)" != 1 ]; then
    echo "FAIL $name: usage error must be one line"; failures=$((failures + 1))
  fi
  rm -f /tmp/lk_melody_err.$$
}

alps0='55x7x9x5x＊ち9xx＊ん7＊じゃ0x'

expect prepare-defaults 0 $'arupusuitimannzyaku\n5 5 x 7 x 9 x 5 x x 9 x x x 7 x x 0 x\n65 65 - 67 - 69 - 65 - - 69 - - - 67 - - 60 -' \
  prepare --romaji arupusuitimannzyaku --melody "$alps0"
expect prepare-settings 0 $'arupusuichimanjaku\n5 5 x 7 x 9 x 5 x x x 9 x x 7 x 0 x\n65 65 - 67 - 69 - 65 - - - 69 - - 67 - 60 -' \
  prepare --romaji arupusuitimannzyaku --melody "$alps0" --set ti=chi --set nn=n --set=ja=ja
expect prepare-two-digit 0 $'ra\n-12 x\n48 -' prepare --romaji=ra '--melody=\-12x'
# Keystrokes past the last token strike middle C; a value without a key sounds nothing.
expect prepare-short-melody 0 $'aiu\n5\n65 60 60' prepare --romaji aiu --melody 5
expect prepare-no-key 0 $'ai\n99 3\n- 63' prepare --romaji ai --melody '\993'
expect prepare-final-n 0 $'rann\n2 x x x\n62 - - -' prepare --romaji rann --melody '2xx＊ん' --set nn=n
expect prepare-missing 2 '' prepare --romaji a
expect prepare-unknown 2 '' prepare --romaji a --melody 1 --loud
expect prepare-bad-setting 2 '' prepare --romaji a --melody 1 --set nn=nnn

expect melody-alps 0 "$alps0" melody --reading 'あ　る　ぷ　す　いち　まん　じゃ　く' --notes 'ファファソラファラソド'
expect melody-keyboard 0 '\-10x0x\13x' melody --reading 'ど れ み' --notes '-レド+#ド'
expect melody-bad-note 1 'メロディーデータに間違いがあります。' melody --reading 'あ' --notes 'ドA'
expect melody-leading-space 1 '問題の保存に失敗しました。' melody --reading ' あ い' --notes 'ドレ'
expect melody-asterisk 1 '使用できない文字が含まれています。' melody --reading 'あ*' --notes 'ド'
# Input-method forms as the editor takes them: ゔ as ヴ, full-width letters as letters.
expect melody-input-forms 0 '0x2x' melody --reading 'ゔ ＯＫ' --notes 'ドレ'
expect melody-missing 2 '' melody --reading 'あ'

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "all melody command checks passed"
