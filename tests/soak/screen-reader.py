#!/usr/bin/env python3
"""What the soak's player does through the accessibility interface (AT-SPI), as a screen reader's
user would. Usage: screen-reader.py PID. Reads commands on standard input, one a line, and answers
each with one line:
  toggle N   toggles the N-th stop box (modulo how many there are); answers how many it found
  answer     presses OK in the program's message box; answers 1 when it did, else 0
(0 also when the program cannot be reached)."""

import sys

import pyatspi

STOP_BOX = {"停止作用", "Stop"}
OK = {"OK", "確定", "&OK"}
# Containers whose children are never what is looked for, and may be many (the move list has 400
# cells): not walked.
SKIPPED = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_LIST,
           pyatspi.ROLE_MENU_BAR}


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def find(node, wanted, found, depth=0):
    if node is None or depth > 40:
        return found
    try:
        if wanted(node):
            found.append(node)
            return found
        if node.getRole() in SKIPPED:
            return found
        for child in node:
            find(child, wanted, found, depth + 1)
    except Exception:
        pass  # a window went away while it was walked
    return found


def is_stop_box(node):
    return node.getRole() == pyatspi.ROLE_CHECK_BOX and node.name in STOP_BOX


def press(node):
    try:
        node.queryAction().doAction(0)
        return True
    except Exception:
        return False


def toggle(pid, index):
    boxes = find(application(pid), is_stop_box, [])
    if boxes and press(boxes[index % len(boxes)]):
        return len(boxes)
    return 0


def answer(pid):
    app = application(pid)
    if app is None:
        return 0
    for window in app:
        try:
            if window.getRole() not in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT):
                continue
        except Exception:
            continue
        buttons = find(window, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name in OK, [])
        if buttons and press(buttons[0]):
            return 1
    return 0


def main():
    pid = int(sys.argv[1])
    for line in sys.stdin:
        words = line.split()
        if len(words) == 2 and words[0] == "toggle":
            print(toggle(pid, int(words[1])), flush=True)
        elif words == ["answer"]:
            print(answer(pid), flush=True)


if __name__ == "__main__":
    main()
