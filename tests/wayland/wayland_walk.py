"""Walks the program on Wayland through the accessibility bus: the first
start's two messages, start -> menu -> training menu -> word drill, and at
every screen exactly one top-level window, the same one, titled with the
screen's caption. Buttons are pressed through their AT-SPI action (no
pointer can be placed on Wayland from outside).

Run by run_wayland.sh inside the compositor and the session bus it starts.
"""

import os
import sys

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from atspi_util import (Failure, application, dump, find, find_all, labels, log, wait_find, wait_until,  # noqa: E402
                        wait_window, windows)

first_window = None


def press(node):
    """Presses a control the way a screen reader does: its Press action."""
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    index = names.index("Press") if "Press" in names else 0
    action.doAction(index)


def identity(node):
    """The object path on the bus: the same path is the same window object."""
    return node.path


def one_window(caption, quiet=False):
    """The program shows exactly one top-level window, the same throughout, named caption."""
    global first_window
    shown = wait_until(f"one window {caption!r}",
                       lambda: (lambda ws: ws if len(ws) == 1 and ws[0].name == caption else None)(windows()), 10)
    w = shown[0]
    if w.getRoleName() != "frame":
        raise Failure(f"the window {caption!r} is a {w.getRoleName()}, not a frame")
    if first_window is None:
        first_window = identity(w)
    elif identity(w) != first_window:
        raise Failure(f"{caption!r} is shown in a new window, not in the first one")
    if not quiet:
        log(f"   one window: {caption!r}")
    return w


def dismiss(text):
    def probe():
        for w in windows():
            if w.getRoleName() in ("alert", "dialog") and (text in w.name or any(text in l for l in labels(w))):
                return w
        return None

    box = wait_until(f"message {text!r}", probe, 20)
    ok = find(box, "push button", "OK")
    if ok is None:
        raise Failure(f"message {text!r} has no OK button")
    log(f"   message {text!r}: OK")
    press(ok)
    wait_until(f"message {text!r} to close", lambda: probe() is None, 10)


def press_on(caption, name, index=0):
    node = wait_find(caption, "push button", name, index=index)
    log(f"   press {name!r}")
    press(node)


def labels_after(caption, anchor):
    w = one_window(caption, quiet=True)
    found = labels(w)
    return found[found.index(anchor) + 1:] if anchor in found else None


def main():
    try:
        log("== first start: two load messages, then the start screen")
        wait_until("the program on the accessibility bus", application, 30)
        dismiss("設定の読み込みに失敗しました。")
        dismiss("ランキングの読み込みに失敗しました。")
        wait_window("スタート画面", 20)
        one_window("スタート画面")

        log("== start -> menu -> training menu -> word drill, in one window")
        press_on("スタート画面", "START")
        one_window("メニュー")
        press_on("メニュー", "Training")
        one_window("トレーニングメニュー")
        press_on("トレーニングメニュー", "初 級")
        one_window("Form1")
        after = wait_until("the first question of the drill",
                           lambda: (lambda a: a if a and a[0] == "1" and len(a) > 4 and a[4] else None)(
                               labels_after("Form1", "No.")), 15)
        log(f"   the drill shows question 1: {after[3]!r}, keys {after[4]!r}")
        w = one_window("Form1")
        if w.getState().contains(pyatspi.STATE_ACTIVE):
            focused = [n for n in find_all(w, "frame") + find_all(w, "filler")
                       if n.getState().contains(pyatspi.STATE_FOCUSED)]
            log(f"   the window is active; focused: {[n.name for n in focused]}")
        log("OK")
        return 0
    except Failure as e:
        log(f"FAIL: {e}")
        app = application()
        if app is not None:
            dump(app)
        return 1


if __name__ == "__main__":
    sys.exit(main())
