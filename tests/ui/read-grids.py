#!/usr/bin/env python3
"""Prints every table of the application with process id PID as AT-SPI shows it to a screen reader:
one line per row, its cells' names separated by tabs. Usage: read-grids.py PID"""
import sys
import time

import pyatspi


def application(pid):
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.get_process_id() == pid:
                return app
        time.sleep(0.1)
    return None


def tables(node, depth=0):
    if node is None or depth > 40:
        return
    if node.getRole() == pyatspi.ROLE_TABLE:
        yield node
    for child in node:
        yield from tables(child, depth + 1)


def main():
    app = application(int(sys.argv[1]))
    if app is None:
        print("no application with that process id on the accessibility bus", file=sys.stderr)
        return 1
    found = 0
    for table in tables(app):
        found += 1
        cells = table.queryTable()
        print("table %s: %d rows" % (table.name, cells.nRows))
        for row in range(cells.nRows):
            names = [cells.getAccessibleAt(row, col).name for col in range(cells.nColumns)]
            print("\t".join(names))
    return 0 if found else 2


sys.exit(main())
