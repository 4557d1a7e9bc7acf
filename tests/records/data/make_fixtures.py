#!/usr/bin/env python3
"""Writes the hand-made data file fixtures (code page 932, CR LF).

Run from the repository root: python3 tests/records/data/make_fixtures.py
The golden files are what the writers must produce byte for byte; the
quirk files hold what other programs or hand edits may leave behind.
"""
import os
import re

ROOT = os.path.join(os.path.dirname(__file__), '..', '..')


def write(rel, lines, end='\r\n', final=True):
    data = end.join(lines) + (end if final else '')
    path = os.path.join(ROOT, rel)
    with open(path, 'wb') as f:
        f.write(data.encode('cp932'))


def q(s):
    return '"' + s + '"'


# --- typing problem files -------------------------------------------------
write('records/data/typing_golden.txt', [
    q('ntrafile'), '3', q('春の言葉, その一'),
    q('桜、さくら'), q('sakura'),
    q('C:\\temp と ~'), q('*c*:*\\*temp*to*~'),
    q('日本語'), q('nihonngo'),
])
write('records/data/typing_unfinished_golden.txt', [
    q('prentrafile'), '2', q(''),
    q('読みなし'), q(''),
    q(''), q('yominomi'),
])
write('records/data/typing_empty_golden.txt', [q('ntrafile'), '0', q('<no title>')])
# Quirks: magic without quotes, count with spaces, text after a closing quote,
# an unquoted field with a comma, a last line without CR LF.
write('records/data/typing_quirks.txt', [
    'ntrafile', ' 3 ', '  "題名, カンマ入り"',
    '"一つ目"  余分', '"hitotume"',
    '二つ目,後ろ', 'hutatume',
    '"三"つ目"', '"mittume"',
], final=False)
write('records/data/typing_count_too_large.txt', [
    q('ntrafile'), '3', q('足りない'),
    q('一'), q('iti'), q('二'), q('ni'),
])

# --- music problem files --------------------------------------------------
records = [
    ('アルプス一万尺', 'あ　る　ぷ　す　いち　まん　じゃ　く', 'arupusuitimannzyaku',
     '55x7x9x5x＊ち9xx＊ん7＊じゃ0x', 'ソソラシドソ'),
    ('ランラララ, ラ', 'らん ら ら', 'rannrara', '\\10x2x0x', '+ド-シ#ド'),
]
lines = [q('miditrafile'), ' 2 ', q('歌の題, 副題')]
for r in records:
    lines += [q(x) for x in r]
# page 2 was shown and left empty; page 3 holds text beyond count; the rest never set
lines += [q(''), q(''), q(''), q(''), q('')]
lines += [q('数えない'), q('かぞえない'), q('かぞえない'), '', q('')]
lines += [''] * (5 * 96)
write('records/data/music_golden.txt', lines)
# Only what the music menu reads: magic unquoted, count without spaces, two records.
write('records/data/music_menu_only.txt', [
    'miditrafile', '2', q('短い歌'),
    q('一行目'), q('いち ぎょう め'), q('itigyoume'), q('0x2x4x5x'), q('ドレミファ'),
    q('二行目'), '', q('nigyoume'), q('5x4x2x0x'), '',
])
write('records/data/music_unfinished.txt', [
    q('premiditrafile'), ' 1 ', q('途中'),
    q('読みなし'), q(''), q(''), q(''), q(''),
] + [''] * (5 * 99))

# --- set.dat ---------------------------------------------------------------
src = open(os.path.join(ROOT, '..', 'src', 'engine', 'key_settings.cpp'), encoding='utf-8').read()
rows = re.findall(r'\{"([a-z]+)", u"[^"]*", u"([a-z]+)", \{', src)
assert len(rows) == 91, len(rows)
chosen = {'si': 'shi', 'nn': 'n', 'x': 'l', 'vo': 'vo'}
write('records/data/set_golden.dat', [' 1 ', ' 50 '] + [chosen.get(f, t) for f, t in rows])

# --- rank.dat --------------------------------------------------------------
rank = [
    (' 267 ', ' 98 ', ' 200 ', q('04/12/25 03:05 PM'), q('初級')),
    (' 150 ', '-25 ', ' 120 ', q('05/01/02 12:00 AM'), q('歌の題, 副題')),
    (' 0 ', ' 100 ', ' 0 ', q('05/01/03 11:59 AM'), q('<no title>')),
]
lines = []
for e in rank:
    lines += list(e)
lines += [''] * (5 * 7)
write('records/data/rank_golden.dat', lines)
