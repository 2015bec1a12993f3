#!/usr/bin/python3
"""Prints the tables of the application with process id PID as AT-SPI shows them to a screen reader:
one line per row, its cells' names separated by tabs; at most COUNT tables, in the order of the
application's tree, when given. Usage: read-grids.py PID [COUNT]"""
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
    most = int(sys.argv[2]) if len(sys.argv) > 2 else None
    if app is None:
        print("no application with that process id on the accessibility bus", file=sys.stderr)
        return 1
    found = 0
    for table in tables(app):
        if most is not None and found == most:
            break
        found += 1
        cells = table.queryTable()
        print("table %s: %d rows" % (table.name, cells.nRows))
        for row in range(cells.nRows):
            names = [cells.getAccessibleAt(row, col).name for col in range(cells.nColumns)]
            print("\t".join(names))
    return 0 if found else 2


sys.exit(main())
