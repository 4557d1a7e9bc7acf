"""Finding and operating the program's controls through AT-SPI and xdotool.

Controls are found by role and accessible name, the way assistive technology
sees them; buttons are clicked with the mouse at their place on the screen,
keys are typed into the focused window.
"""

import subprocess
import sys
import time

import pyatspi

APP_NAME = "luminakey"


class Failure(Exception):
    pass


def log(text):
    print(text, flush=True)


def wait_until(what, probe, timeout=15.0, interval=0.05):
    """Polls probe() until it returns something true; fails after timeout."""
    end = time.monotonic() + timeout
    while True:
        try:
            value = probe()
        except Exception:  # the tree changes under our feet while screens swap
            value = None
        if value:
            return value
        if time.monotonic() > end:
            raise Failure(f"timed out waiting for {what}")
        time.sleep(interval)


def applications():
    """Every copy of the program on the accessibility bus."""
    desktop = pyatspi.Registry.getDesktop(0)
    found = []
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == APP_NAME:
            found.append(app)
    return found


def application():
    found = applications()
    return found[0] if found else None


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def walk(node):
    """Every showing descendant of node, depth first, in tree order."""
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None or not showing(child):
            continue
        yield child
        yield from walk(child)


def windows():
    app = application()
    if app is None:
        return []
    return [w for w in (app.getChildAtIndex(i) for i in range(app.childCount)) if w is not None and showing(w)]


def window(caption, roles=("frame", "dialog", "alert", "window")):
    for w in windows():
        if w.name == caption and w.getRoleName() in roles:
            return w
    return None


def wait_window(caption, timeout=15.0):
    return wait_until(f"window {caption!r}", lambda: window(caption), timeout)


def find_all(root, role, name=None):
    return [n for n in walk(root) if n.getRoleName() == role and (name is None or n.name == name)]


def find(root, role, name, index=0):
    found = find_all(root, role, name)
    return found[index] if len(found) > index else None


def wait_find(root_caption, role, name, timeout=15.0, index=0):
    def probe():
        w = window(root_caption)
        return find(w, role, name, index) if w else None

    return wait_until(f"{role} {name!r} on {root_caption!r}", probe, timeout)


def labels(root):
    return [n.name for n in find_all(root, "label")]


def center(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x + e.width // 2, e.y + e.height // 2


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def click(node):
    """A left click with the mouse in the middle of the control."""
    x, y = center(node)
    xdotool("mousemove", "--sync", x, y, "click", "1")


def press(root_caption, role, name, index=0):
    node = wait_find(root_caption, role, name, index=index)
    log(f"   click {role} {name!r}")
    click(node)


def x_window(caption):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{caption}$"],
                         capture_output=True, text=True).stdout.split()
    return out[-1] if out else None


def focus(caption):
    wid = wait_until(f"X window {caption!r}", lambda: x_window(caption))
    xdotool("windowfocus", "--sync", wid)
    return wid


def type_text(text, delay_ms=2):
    """Types text as key presses into the focused window."""
    if text:
        xdotool("type", "--delay", delay_ms, "--", text)


def key(name):
    xdotool("key", name)


def dismiss_message(text_part, timeout=15.0):
    """Waits for a message box whose text contains text_part, returns its text and presses OK."""

    def probe():
        for w in windows():
            if w.getRoleName() in ("alert", "dialog") and text_part in w.name:
                return w
            for lbl in find_all(w, "label") if w.getRoleName() in ("alert", "dialog") else []:
                if text_part in lbl.name:
                    return w
        return None

    box = wait_until(f"message containing {text_part!r}", probe, timeout)
    text = next((l for l in labels(box) if text_part in l), box.name)
    ok = find(box, "push button", "OK")
    if ok is None:
        raise Failure(f"message {text!r} has no OK button")
    log(f"   message {text!r}: OK")
    click(ok)
    name = box.name
    wait_until(f"message {text!r} to close",
               lambda: not any(w.getRoleName() in ("alert", "dialog") and w.name == name for w in windows()), 10)
    return text


def dump(node, depth=0, out=sys.stdout):
    try:
        out.write("  " * depth + f"[{node.getRoleName()}] {node.name!r} {node.description!r}\n")
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is not None and showing(child):
                dump(child, depth + 1, out)
    except Exception as e:  # noqa: BLE001 - a dump is best effort
        out.write("  " * depth + f"<gone: {e}>\n")
