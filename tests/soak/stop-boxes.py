#!/usr/bin/env python3
"""Ticks and unticks the program's stop boxes through the accessibility interface (AT-SPI), as a
screen reader's user would. Usage: stop-boxes.py PID. Reads "toggle N" lines on standard input,
toggles the N-th stop box (counted modulo how many there are, in the order the tree gives them) and
answers one line: how many stop boxes it found (0 when it could not reach the program)."""

import sys

import pyatspi

NAMES = {"停止作用", "Stop"}
# Containers whose children are never stop boxes, and may be many: not walked.
SKIPPED = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_LIST, pyatspi.ROLE_MENU_BAR}


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def stop_boxes(node, found, depth=0):
    if node is None or depth > 40:
        return found
    try:
        role = node.getRole()
        if role == pyatspi.ROLE_CHECK_BOX and node.name in NAMES:
            found.append(node)
            return found
        if role in SKIPPED:
            return found
        for child in node:
            stop_boxes(child, found, depth + 1)
    except Exception:
        pass  # a page went away while it was walked
    return found


def main():
    pid = int(sys.argv[1])
    for line in sys.stdin:
        words = line.split()
        if len(words) != 2 or words[0] != "toggle":
            continue
        boxes = stop_boxes(application(pid), [])
        if boxes:
            box = boxes[int(words[1]) % len(boxes)]
            try:
                box.queryAction().doAction(0)
            except Exception:
                boxes = []
        print(len(boxes), flush=True)


if __name__ == "__main__":
    main()
