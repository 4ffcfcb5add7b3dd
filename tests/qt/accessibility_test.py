#!/usr/bin/env python3
"""accessibility_test.py DRASKEN: what a screen reader (Orca reads AT-SPI) is told of drasken's window,
its controls and its message boxes, as a person uses it. Runs in a private D-Bus session
(dbus-run-session) on a display of its own; drives the program with xdotool."""
import os
import subprocess
import sys
import time

import pyatspi

PATIENCE = 20  # seconds: the machine may be busy building at the same time
BOTH = {pyatspi.STATE_ENABLED, pyatspi.STATE_SENSITIVE}


def wait_for(find, what):
    deadline = time.monotonic() + PATIENCE
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.05)
    raise AssertionError(what)


def tree(node):
    yield node
    for child in node:
        if child is not None:
            yield from tree(child)


def xdo(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, check=True).stdout.strip()


def states(node):
    return {s for s in BOTH if node.getState().contains(s)}


def main(drasken):
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    program = subprocess.Popen([drasken], env=env)
    try:
        app = wait_for(lambda: next((a for a in pyatspi.Registry.getDesktop(0)
                                     if a is not None and a.get_process_id() == program.pid), None),
                       "drasken on the accessibility bus")
        window = wait_for(lambda: next((w for w in app if w is not None and w.name.startswith("Velmora")), None),
                          "the window")
        x_window = xdo("search", "--onlyvisible", "--name", "^Velmora").split()[0]
        title = xdo("getwindowname", x_window)
        assert window.getRole() in (pyatspi.ROLE_FRAME, pyatspi.ROLE_DIALOG), window.getRoleName()
        assert window.name == title, (window.name, title)

        def control(role, name):
            return next((n for n in tree(window) if n.getRole() == role and n.name == name), None)

        box = control(pyatspi.ROLE_TEXT, "请输入QQ昵称：")
        up = control(pyatspi.ROLE_PUSH_BUTTON, "增加空格")
        down = control(pyatspi.ROLE_PUSH_BUTTON, "减少空格")
        assert box and up and down, [(n.getRoleName(), n.name) for n in tree(window)]
        assert states(up) == BOTH and states(down) == set(), (states(up), states(down))

        x, y, width, height = up.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        xdo("windowfocus", "--sync", x_window, "mousemove", str(x + width // 2), str(y + height // 2), "click", "1")
        wait_for(lambda: states(down) == BOTH, "the down arrow enabled at 2")

        # A message box (every one is made alike) is an alert or a dialog named by its title, its text in it.
        def message_box():
            return next((w for w in app if w is not None and w.name == "温馨提示" and
                         w.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)), None)

        xdo("key", "alt+c")
        shown = wait_for(message_box, "the box")
        said = [shown.description] + [n.name for n in tree(shown)]
        assert any("代码成功生成" in s for s in said), said
        xdo("key", "Return")
        wait_for(lambda: message_box() is None, "the box closed")

        xdo("windowfocus", "--sync", x_window, "key", "alt+F4")
        assert program.wait(PATIENCE) == 0
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
    print("accessibility: 1 passed, 0 failed")


if __name__ == "__main__":
    try:
        main(sys.argv[1])
    except AssertionError as failure:
        sys.exit(f"FAIL: {failure}")
