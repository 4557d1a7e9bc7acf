"""Drives the real program through AT-SPI like a person: every main road of
the screen graph, from the first start to the end of the program.

Run by run_e2e.sh inside the X server and the session bus it starts:
    /usr/bin/python3 driver.py --pid <program pid> --folder <program folder>
"""

import argparse
import array
import os
import re
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from atspi_util import (Failure, application, applications, click, dismiss_message, dump, find, find_all, focus, key,
                        labels, log, press, type_text, wait_find, wait_until, wait_window, window, windows)

steps_done = []
# With LUMINAKEY_SCREENSHOTS=<folder> the run also photographs the main screens.
SHOTS = os.environ.get("LUMINAKEY_SCREENSHOTS")


def shot(caption, name):
    if not SHOTS:
        return
    from atspi_util import x_window
    time.sleep(0.3)  # let the last repaint reach the X server
    wid = wait_until(f"X window {caption!r}", lambda: x_window(caption))
    subprocess.run(["import", "-window", wid, os.path.join(SHOTS, name + ".png")], check=True)
    log(f"   screenshot {name}.png")


FOLDER = None
TOOL = None


def tool(*args):
    """Output of luminakey-tool (beside the program) with these arguments."""
    done = subprocess.run([TOOL, *args], capture_output=True, text=True, timeout=20)
    if done.returncode != 0:
        raise Failure(f"luminakey-tool {' '.join(args)} failed: {done.stderr.strip()}")
    return done.stdout


def step(name):
    log(f"== {name}")
    steps_done.append(name)


def labels_after(caption, anchor):
    """The labels that follow the label `anchor` on the screen, in tree order."""
    w = window(caption)
    if w is None:
        return None
    found = labels(w)
    return found[found.index(anchor) + 1:] if anchor in found else None


def first_start():
    step("first start: the two load messages, then the start screen")
    wait_until("the program on the accessibility bus", application, 20)
    dismiss_message("設定の読み込みに失敗しました。設定はすべて初期化されます。")
    dismiss_message("ランキングの読み込みに失敗しました。")
    wait_window("スタート画面")
    shot("スタート画面", "start")
    press("スタート画面", "push button", "START")
    wait_window("メニュー")


def second_start():
    step("a second start: one copy, one window, and the second copy ends with status 0")
    try:
        done = subprocess.run([os.path.join(FOLDER, "luminakey")], capture_output=True, text=True, timeout=20)
    except subprocess.TimeoutExpired:
        raise Failure("the second copy is still running after 20 s")
    if done.returncode != 0:
        raise Failure(f"the second copy ended with status {done.returncode}: {done.stderr.strip()[-300:]}")
    # The second copy may have reached the bus before it ended; it leaves it.
    wait_until("one copy of the program on the accessibility bus", lambda: len(applications()) == 1, 10)
    shown = [w.name for w in windows()]
    if shown != ["メニュー"]:
        raise Failure(f"after the second start the program shows {shown}, not the one main menu")
    log(f"   one copy, one window: {shown}")


def type_questions(questions, spell=None):
    """Types the shown keys of every question of the word drill until クリア！
    (through `spell` when given); returns the number of keys typed, and with
    `spell` the keys typed."""
    typed = 0
    sent = ""
    number = 1
    while True:
        after = labels_after("Form1", "No.")
        if after is None:
            raise Failure("the drill screen went away")
        if after[0] != str(number):
            raise Failure(f"expected question {number}, screen shows {after[0]!r}")
        question, keys = after[3], after[4]
        if not re.fullmatch(r"[ -~]+", keys):
            raise Failure(f"question {number} ({question!r}) shows no keys to type: {keys!r}")
        if spell:
            keys = spell(keys)
            sent += keys
        type_text(keys)
        typed += len(keys)

        def moved_on():
            a = labels_after("Form1", "No.")
            return a is not None and (a[0] != str(number) or "クリア！" in a)

        wait_until(f"question {number} to be done", moved_on, 10)
        after = labels_after("Form1", "No.")
        if "クリア！" in after:
            break
        number += 1
    if number != questions:
        raise Failure(f"the drill asked {number} questions, the menu said {questions}")
    return (typed, sent) if spell else typed


# Kunrei syllables of the shown keys and their Hepburn spellings.
HEPBURN = [("sya", "sha"), ("syu", "shu"), ("syo", "sho"), ("tya", "cha"), ("tyu", "chu"), ("tyo", "cho"),
           ("zya", "ja"), ("zyu", "ju"), ("zyo", "jo"), ("si", "shi"), ("ti", "chi"), ("tu", "tsu"),
           ("hu", "fu"), ("zi", "ji")]


def hepburn(keys):
    """The keys spelt in Hepburn: shi, chi, tsu, fu, ja …; a っ doubles the
    Hepburn letter (ccha, ffu)."""
    out = ""
    i = 0
    while i < len(keys):
        doubled = keys[i] not in "aiueon" and keys[i:i + 1] == keys[i + 1:i + 2]
        rest = keys[i + 1:] if doubled else keys[i:]
        for kunrei, spelt in HEPBURN:
            if rest.startswith(kunrei):
                out += (spelt[0] if doubled else "") + spelt
                i += len(kunrei) + (1 if doubled else 0)
                break
        else:
            out += keys[i]
            i += 1
    return out


def choose_judgement(choice):
    """ｵﾌﾟｼｮﾝ from the main menu: 入力判定 set to `choice`, then 変 更."""
    focus("メニュー")
    key("alt+m")
    wait_until("the menu item ｵﾌﾟｼｮﾝ", lambda: any(find(w, "menu item", "ｵﾌﾟｼｮﾝ") for w in windows()), 5)
    key("Return")  # ｵﾌﾟｼｮﾝ is the first item
    wait_window("オプション")
    press("オプション", "radio button", choice)
    press("オプション", "push button", "変 更")
    wait_window("メニュー")


def flexible_drill():
    step("どの綴りでも: a 中 級 drill typed in Hepburn, its keys in the store as typed")
    choose_judgement("どの綴りでも")
    press("メニュー", "push button", "Training")
    wait_window("トレーニングメニュー")
    questions = int(wait_find("トレーニングメニュー", "label", "30問").name.rstrip("問"))
    press("トレーニングメニュー", "push button", "中 級", index=0)
    wait_window("Form1")
    wait_until("the first question", lambda: (labels_after("Form1", "No.") or [""])[0] == "1", 10)
    focus("Form1")
    typed, sent = type_questions(questions, spell=hepburn)
    misses = labels_after("Form1", "Miss:")[0]
    if misses != "0":
        raise Failure(f"Hepburn spellings gave {misses} misses")
    if not any(s in sent for s in ("shi", "chi", "tsu", "fu", "j")):
        raise Failure(f"the drill asked nothing to spell in Hepburn: {sent!r}")
    press("Form1", "push button", "結果画面へ")
    dismiss_message("位にランクインしました！")
    wait_window("練習結果")
    press("練習結果", "push button", "メニューへ")
    wait_window("トレーニングメニュー")

    db = os.path.join(FOLDER, "luminakey.db")
    last = tool("history", "--db", db).splitlines()[-1].split("\t")
    if last[2:6] != ["word", "中 級", str(typed), "0"]:
        raise Failure(f"history should end with the 中 級 run of {typed} keys: {last}")
    rows = [line.split("\t") for line in tool("keys", "--db", db, "--run", last[0]).splitlines()[1:]]
    recorded = {row[0]: int(row[1]) for row in rows}
    wanted = {k: sent.count(k) for k in set(sent)}
    if recorded != wanted:
        raise Failure(f"keys shows {sorted(recorded.items())}, the keys sent were {sorted(wanted.items())}")
    log(f"   {typed} keys in Hepburn, every one in the store as sent")
    press("トレーニングメニュー", "push button", "Return")
    wait_window("メニュー")
    choose_judgement("設定どおり")


def word_drill():
    step("main menu -> training menu -> 初 級")
    shot("メニュー", "main-menu")
    press("メニュー", "push button", "Training")
    wait_window("トレーニングメニュー")
    shot("トレーニングメニュー", "training-menu")
    count_text = wait_find("トレーニングメニュー", "label", "30問").name
    questions = int(count_text.rstrip("問"))
    # The word lists' 初 級 comes before the one-character drill's.
    press("トレーニングメニュー", "push button", "初 級", index=0)

    step("word drill: countdown, then the first question")
    wait_window("Form1")
    # Labels of the drill view: No. n Miss: m question keys Time: t title
    wait_until("the first question", lambda: (labels_after("Form1", "No.") or [""])[0] == "1", 10)
    focus("Form1")

    wrong = "#"  # never part of a reading: two deliberate misses on the first question
    type_text(wrong * 2)
    wait_until("the two misses counted", lambda: (labels_after("Form1", "Miss:") or [""])[0] == "2", 10)
    first_expected = labels_after("Form1", "No.")[4][0]
    typed = type_questions(questions)
    misses = labels_after("Form1", "Miss:")[0]
    if misses != "2":
        raise Failure(f"typing the shown keys after two wrong ones gave {misses} misses")
    log(f"   {questions} questions, {typed} keys typed")

    step("結果画面へ -> result: speed, accuracy and the ranking message")
    press("Form1", "push button", "結果画面へ")
    rank_text = dismiss_message("位にランクインしました！")
    if not rank_text.startswith("1位"):
        raise Failure(f"the first run in an empty ranking should be first: {rank_text!r}")
    result = wait_window("練習結果")
    shown = labels(result)
    log(f"   result labels: {shown}")

    def value(pattern):
        for text in shown:
            m = re.fullmatch(pattern, text)
            if m:
                return m
        raise Failure(f"no label matching {pattern!r} on the result screen: {shown}")

    seconds = int(value(r"(\d+)秒").group(1))
    chars = int(value(r"(\d+)文字").group(1))  # the first "…文字" is the character count
    accuracy = value(r"(-?\d+)%").group(0)
    if chars != typed:
        raise Failure(f"result counts {chars} characters, {typed} were typed")
    want_accuracy = f"{round((chars - 2) / chars * 100)}%"
    if accuracy != want_accuracy:
        raise Failure(f"accuracy {accuracy} after two misses in {chars} characters, expected {want_accuracy}")
    speed = str(round(chars * 60 / max(seconds, 1)))
    if speed not in shown:
        raise Failure(f"speed {speed} (from {chars} characters in {seconds} s) not shown: {shown}")
    log(f"   {chars} characters in {seconds} s: speed {speed}, accuracy {accuracy}")

    step("result -> 分析: the two misses and what came instead")
    press("練習結果", "push button", "分析")
    wait_window("分析")
    want_key = f"{first_expected} ×2 → {wrong} ×2"
    wait_until(f"{want_key!r} among the missed keys",
               lambda: any(n.name == want_key for n in find_all(window("分析"), "list item")), 10)
    shot("分析", "analysis")
    press("分析", "push button", "Return")
    wait_window("トレーニングメニュー")

    step("luminakey-tool history and keys on the program folder's store")
    db = os.path.join(FOLDER, "luminakey.db")
    history = tool("history", "--db", db).splitlines()
    if len(history) != 2 or history[0].split("\t")[0] != "id":
        raise Failure(f"history should list one run: {history}")
    run = history[1].split("\t")
    if run[2:6] != ["word", "初 級", str(chars), "2"] or run[7:9] != [speed, accuracy.rstrip("%")]:
        raise Failure(f"history does not show the run as the result screen did: {run}")
    keys = [line.split("\t") for line in tool("keys", "--db", db, "--run", run[0]).splitlines()]
    if keys[1][0] != first_expected or keys[1][2] != "2" or keys[1][4] != f"{wrong}:2":
        raise Failure(f"keys does not put the two misses first: {keys[:3]}")
    log(f"   store: {run}; most missed key {keys[1]}")

    weak_drill(questions)

    step("training menu -> ranking")
    wait_window("トレーニングメニュー")
    press("トレーニングメニュー", "push button", "Ranking")
    board = wait_window("ランキング")
    wait_until("the run in the ranking", lambda: speed + "文字/分" in labels(window("ランキング")), 5)
    shot("ランキング", "ranking")
    if "初 級" not in labels(board) or "苦手克服" not in labels(board):
        raise Failure(f"the ranking does not show both course titles: {labels(board)}")
    press("ランキング", "push button", "Return")
    wait_window("トレーニングメニュー")
    press("トレーニングメニュー", "push button", "Return")
    wait_window("メニュー")


def weak_drill(questions):
    step("training menu -> 苦手克服: a drill drawn by the weak units")
    db = os.path.join(FOLDER, "luminakey.db")
    weak = [line.split("\t") for line in tool("weak", "--db", db, "--top", "3").splitlines()]
    if weak[0] != ["unit", "score", "misses", "count", "median_ms"] or len(weak) != 4:
        raise Failure(f"weak should list three units under its header: {weak}")
    scores = [float(row[1]) for row in weak[1:]]
    if scores != sorted(scores, reverse=True) or scores[0] <= 1:
        raise Failure(f"weak should put the weakest unit, above average, first: {weak}")
    log(f"   weakest units: {weak[1:]}")
    press("トレーニングメニュー", "push button", "苦手克服")
    wait_window("Form1")
    wait_until("the first question", lambda: (labels_after("Form1", "No.") or [""])[0] == "1", 10)
    if "苦手克服" not in labels(window("Form1")):
        raise Failure(f"the drill does not show its title: {labels(window('Form1'))}")
    focus("Form1")
    typed = type_questions(questions)
    press("Form1", "push button", "結果画面へ")
    dismiss_message("位にランクインしました！")
    wait_window("練習結果")
    press("練習結果", "push button", "メニューへ")
    wait_window("トレーニングメニュー")
    runs = [line.split("\t") for line in tool("history", "--db", db).splitlines()[1:]]
    if len(runs) != 2 or runs[1][2:5] != ["word", "苦手克服", str(typed)]:
        raise Failure(f"history should end with the 苦手克服 run of {typed} keys: {runs}")
    log(f"   {questions} questions, {typed} keys; store: {runs[1]}")


def text_practice():
    step("main menu -> training menu -> テキストで練習: two pasted sentences, read and typed in order")
    press("メニュー", "push button", "Training")
    wait_window("トレーニングメニュー")
    press("トレーニングメニュー", "push button", "テキストで練習")
    screen = wait_window("テキスト練習")
    sentences = ["今日は雨です。", "学校へ行く！"]
    box = wait_find("テキスト練習", "text", "本文")
    # What a paste puts into the box: the text inserted whole, not typed key by key.
    text = sentences[0] + "\n" + sentences[1]
    box.queryEditableText().insertText(0, text, len(text))
    wait_until("the pasted text in the box", lambda: box.queryText().getText(0, -1) == text, 5)
    press("テキスト練習", "push button", "読みを付ける")
    wait_until("both sentences in the list",
               lambda: all(find(window("テキスト練習"), "table cell", s) for s in sentences), 20)
    shot("テキスト練習", "text-practice")
    press("テキスト練習", "push button", "開 始")
    wait_window("Form1")
    wait_until("the first question", lambda: (labels_after("Form1", "No.") or [""])[0] == "1", 10)
    first = labels_after("Form1", "No.")[3]
    if first != sentences[0]:
        raise Failure(f"the text drill should ask its sentences in order, first is {first!r}")
    focus("Form1")
    typed = type_questions(len(sentences))
    press("Form1", "push button", "結果画面へ")
    dismiss_message("位にランクインしました！")
    wait_window("練習結果")
    press("練習結果", "push button", "メニューへ")
    wait_window("トレーニングメニュー")
    runs = [line.split("\t") for line in tool("history", "--db", os.path.join(FOLDER, "luminakey.db")).splitlines()[1:]]
    title = text.replace("\n", " ")
    if runs[-1][2:5] != ["word", title, str(typed)]:
        raise Failure(f"history should end with the text run titled {title!r}: {runs[-1]}")
    log(f"   {len(sentences)} sentences, {typed} keys; store: {runs[-1]}")
    press("トレーニングメニュー", "push button", "Return")
    wait_window("メニュー")


def music_drill(song):
    step(f"main menu -> music menu -> {song}")
    press("メニュー", "push button", "Music")
    wait_window("ミュージックメニュー")
    shot("ミュージックメニュー", "music-menu")
    press("ミュージックメニュー", "push button", song)
    wait_window("ミュージック")
    if os.environ.get("PULSE_SERVER"):
        # The real synthesizer's stream, and the effects' stream the word
        # drill opened, which stays for the whole run.
        for name in (SYNTH_STREAM, EFFECTS_STREAM):
            wait_until(f"the stream {name!r} on the sound server", lambda: name in streams(), 10)
        log(f"   streams on the null sink: {', '.join(streams())}")
    recording = start_listening()
    step("music drill: the song typed through")
    # Labels: Miss: m lyric reading keys title
    wait_until("the first line", lambda: (labels_after("ミュージック", "Miss:") or ["", "", "", "", ""])[3], 10)
    focus("ミュージック")
    lines = 0
    while True:
        after = labels_after("ミュージック", "Miss:")
        if after is None:
            raise Failure("the music screen went away")
        if "クリア！" in after:
            break
        keys = after[3]
        if not re.fullmatch(r"[ -~]+", keys):
            raise Failure(f"line {lines + 1} shows no keys to type: {after}")
        # Consecutive lines may ask the same keys: type all but the last,
        # wait for the screen to show just that one, then finish the line.
        if lines == 0:
            type_text(keys[:6], delay_ms=4)
            keys = keys[6:]
            wait_until("the first keys of the song", lambda: labels_after("ミュージック", "Miss:")[3] == keys, 10)
            shot("ミュージック", "music-drill")
        type_text(keys[:-1], delay_ms=4)
        wait_until(f"line {lines + 1} down to its last key",
                   lambda: (labels_after("ミュージック", "Miss:") or ["", "", "", ""])[3] == keys[-1], 10)
        type_text(keys[-1])
        lines += 1
        wait_until(f"line {lines} to be done",
                   lambda: "クリア！" in (labels_after("ミュージック", "Miss:") or [])
                   or (labels_after("ミュージック", "Miss:") or ["", "", "", ""])[3] != keys[-1], 10)
    misses = labels_after("ミュージック", "Miss:")[0]
    if misses != "0":
        raise Failure(f"typing the shown keys gave {misses} misses")
    log(f"   {lines} lines, クリア！")
    if recording is not None:
        loud = stop_listening(recording)
        # Only the synthesizer sounds in the music drill.
        if loud < 0.2:
            raise Failure(f"the song was heard only {100 * loud:.0f} % of the time on the null sink")
        log(f"   the notes were heard on the null sink, {100 * loud:.0f} % of the song")
    press("ミュージック", "push button", "メニュー画面へ")
    wait_window("ミュージックメニュー")
    press("ミュージックメニュー", "push button", "Return")
    wait_window("メニュー")


def settings(folder):
    step("main menu -> settings page 1 -> page 2 -> 変 更")
    press("メニュー", "push button", "Setting")
    wait_window("セッティング")
    wait_find("セッティング", "push button", "次のページへ")
    shot("セッティング", "settings")
    press("セッティング", "push button", "次のページへ")
    wait_find("セッティング", "push button", "前のページへ")
    press("セッティング", "push button", "変 更")
    wait_window("メニュー")
    set_dat = os.path.join(folder, "set.dat")
    wait_until("set.dat to be written", lambda: os.path.exists(set_dat), 5)
    with open(set_dat, "rb") as f:
        lines = f.read().split(b"\r\n")
    if len(lines) < 93:
        raise Failure(f"set.dat has {len(lines)} lines")


def answer_question(text, answer):
    """Waits for a question box showing `text` and presses the button whose name starts with `answer`."""

    def probe():
        for w in windows():
            if w.getRoleName() in ("alert", "dialog") and (text in w.name or text in labels(w)):
                return w
        return None

    box = wait_until(f"question {text!r}", probe, 15)
    button = next((b for b in find_all(box, "push button") if b.name.startswith(answer)), None)
    if button is None:
        raise Failure(f"question {text!r} has no button {answer!r}")
    log(f"   question {text!r}: {button.name}")
    click(button)
    wait_until(f"question {text!r} to close", lambda: probe() is None, 10)


def open_dialog_speaks_japanese(caption):
    step(f"{caption}: 読み込み opens the file dialog in Japanese; キャンセル closes it")
    press(caption, "push button", "読み込み")

    def dialog():
        for w in windows():
            if w.getRoleName() in ("dialog", "frame", "window") and w.name != caption:
                if find(w, "push button", "キャンセル"):
                    return w
        return None

    box = wait_until("the open dialog with a キャンセル button", dialog, 15)
    name = box.name
    log(f"   dialog {name!r}")
    click(find(box, "push button", "キャンセル"))
    wait_until("the open dialog to close", lambda: not any(w.name == name and w.name != caption for w in windows()), 10)
    wait_window(caption)


def streams():
    """Names of the program's audio streams on the sound server."""
    out = subprocess.run(["pactl", "list", "sink-inputs"], capture_output=True, text=True).stdout
    return re.findall(r'media\.name = "([^"]*)"', out)


def start_listening():
    """Records the null sink's monitor, or None without a sound server."""
    if not os.environ.get("PULSE_SERVER"):
        return None
    path = os.path.join(os.environ.get("XDG_RUNTIME_DIR", "/tmp"), "music-drill.s16")
    out = open(path, "wb")
    proc = subprocess.Popen(["parec", "-d", "@DEFAULT_MONITOR@", "--raw", "--format=s16le", "--channels=1",
                             "--rate=48000"], stdout=out)
    return proc, out, path


def stop_listening(recording):
    """Share of the recording's 10 ms windows that reach -50 dBFS."""
    proc, out, path = recording
    proc.terminate()
    proc.wait()
    out.close()
    samples = array.array("h")
    with open(path, "rb") as f:
        samples.frombytes(f.read()[: os.path.getsize(path) // 2 * 2])
    os.remove(path)
    windows = [samples[i:i + 480] for i in range(0, len(samples) - 479, 480)]
    if not windows:
        return 0.0
    return sum(1 for w in windows if max(map(abs, w)) >= 100) / len(windows)


SYNTH_STREAM = "LuminaKey synthesizer"
EFFECTS_STREAM = "LuminaKey effects"


def box_text(caption, name):
    node = find(window(caption), "text", name)
    if node is None:
        return None
    t = node.queryText()
    return t.getText(0, t.characterCount)


def music_editor_line(caption):
    """A line entered with the computer keyboard on the piano, previewed
    through the synthesizer."""
    step("music editor: a line from the home row, the fit line, 試聴")
    sound = bool(os.environ.get("PULSE_SERVER"))
    click(wait_find(caption, "text", "問題文"))
    type_text("Do re mi")
    click(wait_find(caption, "text", "ふりがな"))
    type_text("do re mi")
    click(wait_find(caption, "text", "メロディー"))
    key("Tab")  # on to the piano
    type_text("asd", delay_ms=50)
    wait_until("ドレミ in the melody box", lambda: box_text(caption, "メロディー") == "ドレミ", 5)
    wait_until("the fit line", lambda: "音符 3 / 区切り 3" in labels(window(caption)), 5)
    shot(caption, "music-editor")
    press(caption, "push button", "試聴")
    if sound:
        wait_until("the synthesizer's stream while the preview plays", lambda: SYNTH_STREAM in streams(), 10)
        log("   the preview plays into the null sink")
    time.sleep(2)  # three beats at 120 bpm, then the preview ends by itself


def editors():
    for option, caption in (("Training", "トレーニング問題作成"), ("Music", "ミュージック問題作成")):
        step(f"main menu -> editor choice -> {option} -> {caption} -> 戻る")
        press("メニュー", "push button", "Editor")
        wait_window("作成選択")
        if option == "Music":
            press("作成選択", "radio button", "Music")
            wait_until("Music selected",
                       lambda: find(window("作成選択"), "radio button", "Music").getState().contains(
                           pyatspi.STATE_CHECKED), 5)
            if os.environ.get("PULSE_SERVER"):
                # The drill closed the synthesizer: no stream until the editor
                # opens it (the effects' stream stays).
                wait_until("no synthesizer stream", lambda: SYNTH_STREAM not in streams(), 10)
        press("作成選択", "push button", "作成画面へ")
        wait_window(caption)
        if option == "Training":
            shot(caption, "typing-editor")
            open_dialog_speaks_japanese(caption)
        else:
            music_editor_line(caption)
        press(caption, "push button", "戻る")
        if option == "Music":
            answer_question("保存されていない変更があります。破棄しますか？", "はい")
        wait_window("メニュー")
        if option == "Music" and os.environ.get("PULSE_SERVER"):
            wait_until("the editor to close the synthesizer", lambda: SYNTH_STREAM not in streams(), 10)
            if EFFECTS_STREAM not in streams():
                raise Failure(f"the effects' stream closed before the end of the run: {streams()}")


def end_program(pid):
    step("終了 from the common menu ends the program")
    focus("メニュー")
    key("alt+m")
    wait_until("the menu item 終了",
               lambda: any(find(w, "menu item", "終了") for w in windows()), 5)
    # ｵﾌﾟｼｮﾝ is highlighted first; 終了 is two items below (after ﾊﾞｰｼﾞｮﾝ情報).
    key("Down")
    key("Down")
    key("Return")

    def gone():
        try:
            os.kill(pid, 0)
        except ProcessLookupError:
            return True
        # a zombie counts as ended
        with open(f"/proc/{pid}/stat") as f:
            return f.read().split()[2] == "Z"

    wait_until("the program to end", gone, 10)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--folder", required=True)
    parser.add_argument("--song", default="アルプス一万尺")
    args = parser.parse_args()
    global FOLDER, TOOL
    FOLDER = args.folder
    TOOL = os.path.join(args.folder, "luminakey-tool")
    start = time.monotonic()
    try:
        first_start()
        second_start()
        word_drill()
        flexible_drill()
        text_practice()
        music_drill(args.song)
        settings(args.folder)
        editors()
        end_program(args.pid)
    except Failure as e:
        log(f"FAIL in step '{steps_done[-1] if steps_done else '-'}': {e}")
        app = application()
        if app is not None:
            log("--- what the program shows ---")
            dump(app)
        return 1
    log(f"OK: {len(steps_done)} steps in {time.monotonic() - start:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
