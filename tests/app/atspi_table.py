#!/usr/bin/python3
"""Reads the main window's table from outside the program, as a screen reader does: through the
desktop's accessibility bus (AT-SPI). Starts the program on a class file, finds the table, prints
its size, headers and some cells, moves the current cell with key presses and prints the focused
cell as a screen reader reads it: "column header, row header, text". Exit 77: no bus (skipped)."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi
except (ImportError, ValueError) as error:
    print(f"skipped: no AT-SPI for Python (python3-gi, gir1.2-atspi-2.0): {error}")
    sys.exit(77)

KEYS = {"Down": 0xFF54, "Right": 0xFF53, "Home": 0xFF50, "End": 0xFF57, "Tab": 0xFF09}


def wait_for(find, what, seconds=20.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    raise SystemExit(f"not found on the accessibility bus: {what}")


def descendants(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    for i in range(node.get_child_count()):
        yield from descendants(node.get_child_at_index(i), depth + 1)


def program(pid):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def the_table(app):
    for node in descendants(app):
        if node.get_role() == Atspi.Role.TABLE and node.get_name() == "画面の表":
            return node
    return None


def reading(table, row, col):
    """What a screen reader says for a cell: its column header, its row header, its text."""
    header = Atspi.Table.get_column_header(table, col)
    number = Atspi.Table.get_row_header(table, row)
    cell = Atspi.Table.get_accessible_at(table, row, col)
    return ", ".join(x.get_name() if x else "?" for x in (header, number, cell))


def focused_cell(table, rows, cols):
    for row in range(rows):
        for col in range(cols):
            cell = Atspi.Table.get_accessible_at(table, row, col)
            if cell and cell.get_state_set().contains(Atspi.StateType.FOCUSED):
                return row, col
    return None


def press(key):
    Atspi.generate_keyboard_event(KEYS[key], None, Atspi.KeySynthType.SYM)
    time.sleep(0.3)


def main():
    kirune, book = sys.argv[1], sys.argv[2]
    home = tempfile.mkdtemp(prefix="kirune-atspi-")
    copy = os.path.join(home, os.path.basename(book))
    shutil.copy(book, copy)
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
               XDG_DATA_HOME=os.path.join(home, "data"), QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    child = subprocess.Popen([kirune, copy], env=env)
    try:
        app = wait_for(lambda: program(child.pid), "the program")
        table = wait_for(lambda: the_table(app), "the table 画面の表")
        rows = Atspi.Table.get_n_rows(table)
        cols = Atspi.Table.get_n_columns(table)
        print(f"role {table.get_role_name()}")
        print(f"size {rows} x {cols}")
        print(f"cell {reading(table, 0, 0)}")
        print(f"cell {reading(table, 2, 0)}")
        Atspi.Component.grab_focus(table)
        time.sleep(0.5)
        for key in ("Down", "Down", "End", "Home"):
            press(key)
            at = focused_cell(table, min(rows, 6), cols)
            print(f"{key}: " + (reading(table, *at) if at else "no focused cell"))
        press("Tab")
        print("Tab: " + ("left the table" if focused_cell(table, min(rows, 6), cols) is None
                         else "still in the table"))
    finally:
        child.kill()
        child.wait()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    main()
