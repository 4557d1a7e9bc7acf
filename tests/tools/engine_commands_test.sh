#!/usr/bin/env bash
# luminakey-tool to-romaji / to-kana / rewrite / units / match / guide / list: output and exit status.
set -u
tool=$1
failures=0

# expect NAME EXPECTED_STATUS EXPECTED_STDOUT INPUT COMMAND...
expect() {
  local name=$1 status=$2 want=$3 input=$4
  shift 4
  local got rc
  got=$(printf '%s' "$input" | "$tool" "$@" 2>/tmp/lk_tool_err.$$)
  rc=$?
  if [ "$rc" != "$status" ] || [ "$got" != "$want" ]; then
    echo "FAIL $name: status $rc (want $status)"
    echo "  got:  $(printf '%q' "$got")"
    echo "  want: $(printf '%q' "$want")"
    failures=$((failures + 1))
  fi
  if [ "$status" = 2 ] && [ "$(wc -l < /tmp/lk_tool_err.$$)" != 1 ]; then
    echo "FAIL $name: usage error must be one line"; failures=$((failures + 1))
  fi
  if [ "$status" = 2 ] && [ -n "${EXPECT_MESSAGE:-}" ] && ! grep -q -- "$EXPECT_MESSAGE" /tmp/lk_tool_err.$$; then
    echo "FAIL $name: message lacks '$EXPECT_MESSAGE': $(cat /tmp/lk_tool_err.$$)"; failures=$((failures + 1))
  fi
  rm -f /tmp/lk_tool_err.$$
}

expect to-romaji 0 $'be-to-vuxenn\n\nima,nannzi?\n-' $'ベートーヴェン\n\nいま、なんじ？\nｰ\n' to-romaji
expect to-romaji-crlf 0 $'kya' $'きゃ\r\n' to-romaji
# Signs as Linux input methods write them count as their code page 932 forms.
expect to-romaji-jis-variants 0 $'a~i\n-\nvuxa' $'あ\xe3\x80\x9cい\n\xe2\x88\x92\nゔぁ\n' to-romaji
expect to-romaji-music 0 $'ｰ\nrounyakuna**n1yo' $'ｰ\nろうにゃくなんにょ\n' to-romaji --music
expect to-romaji-bad 2 '' 'a' to-romaji --loud
expect to-kana 0 $'べ-と-ヴぇん\n\nっっか' $'be-to-vuxenn\n\nxtukka\n' to-kana
expect to-kana-extra 2 '' 'a' to-kana x
expect rewrite-defaults 0 $'goodmorning!\nrounyakunannnyo' $'*g**o**o**d* *m**o**r**n**i**n**g*!\nrounyakuna**n1yo\n' rewrite
expect rewrite-set 0 $'akushonneiganoka-cheisu\nninjinn' $'akusyo**neiganoka-tixeisu\nninnzinn\n' \
  rewrite --set syo=sho --set che=che --set nn=n --set=zi=ji
expect rewrite-compound 0 'huxa' 'huxa' rewrite --set wha=wha
expect rewrite-no-final-newline 0 $'pann' 'pann' rewrite --set nn=n
EXPECT_MESSAGE="'syoo'" expect rewrite-unknown-field 2 '' 'a' rewrite --set syoo=sho
EXPECT_MESSAGE="'chi'" expect rewrite-unoffered 2 '' 'a' rewrite --set si=chi
expect rewrite-malformed 2 '' 'a' rewrite --set syo
expect rewrite-missing 2 '' 'a' rewrite --set
expect rewrite-stray 2 '' 'a' rewrite extra
expect units 0 $'si=し nn=ん bu=ぶ nn=ん\nh=h\n\nro=ろ u=う nya=にゃ ku=く na=な nn=ん nyo=にょ' \
  $'sinnbunn\n*h*\n\nrounyakuna**n1yo\n' units
expect units-set 0 'ho=ほ c=っ ca=か i=い do=ど u=う' 'hokkaidou' units --set ka=ca
expect units-final-n 0 'pa=ぱ nn=ん' 'pann' units --set nn=n
EXPECT_MESSAGE="'chi'" expect units-unoffered 2 '' 'a' units --set si=chi
expect match 0 $'ok\nok\npartial\nmiss 1\nmiss 3\npartial' $'shinbunn\nsinnbunn\nshinbun\nxinbun\nsimbun\n\n' match sinnbunn
expect match-set 0 $'ok\nok' $'hoccaidou\nhokkaidou\n' match --set ka=ca hokkaidou
expect match-empty-text 0 $'ok\nmiss 1' $'\na\n' match ''
expect match-no-text 2 '' 'a' match
expect match-two-texts 2 '' 'a' match ka ki
expect guide 0 $'shufu\nsinbunn\n\nnnna' $'syuhu\nsinnbunn\n\n**n1a\n' guide --set syu=shu --set hu=fu --set nn=n
EXPECT_MESSAGE="'syoo'" expect guide-unknown-field 2 '' 'a' guide --set syoo=sho

list1=$("$tool" list 1)
[ "$(printf '%s\n' "$list1" | head -1)" = "初 級" ] || { echo "FAIL list title"; failures=$((failures + 1)); }
[ "$(printf '%s\n' "$list1" | wc -l)" = 51 ] || { echo "FAIL list length"; failures=$((failures + 1)); }
[ "$(printf '%s\n' "$list1" | sed -n 2p)" = $'パン\tpann' ] || { echo "FAIL list first entry"; failures=$((failures + 1)); }
[ "$("$tool" list 3 | sed -n 4p)" = $'Good morning!\t*g**o**o**d* *m**o**r**n**i**n**g*!' ] || { echo "FAIL list 3"; failures=$((failures + 1)); }
expect list-zero 2 '' '' list 0
expect list-word 2 '' '' list two
expect list-none 2 '' '' list

if [ "$failures" -gt 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "all tool checks passed"
