#!/usr/bin/python3
"""Reads the main window's table from outside the program, as a screen reader does: through the
desktop's accessibility bus (AT-SPI). Starts the program on a class file, finds the table, prints
its size and a cell, moves into the table and through it with key presses and prints the focused
cell as a screen reader reads it: "column header, row header, text". Run it on a display with a
session bus: xvfb-run -a dbus-run-session -- atspi_table.py KIRUNE BOOK SUBJECT-NODE.
Exit 77: no AT-SPI for Python (skipped)."""
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
    if not table.get_state_set().contains(Atspi.StateType.FOCUSED):
        return None
    for row in range(rows):
        for col in range(cols):
            cell = Atspi.Table.get_accessible_at(table, row, col)
            if cell and cell.get_state_set().contains(Atspi.StateType.FOCUSED):
                return row, col
    return None


def press(key):
    Atspi.generate_keyboard_event(KEYS[key], None, Atspi.KeySynthType.SYM)
    time.sleep(0.3)


def click(node):
    """A click in the middle of `node` on the screen, as the mouse makes it."""
    box = Atspi.Component.get_extents(node, Atspi.CoordType.SCREEN)
    Atspi.generate_mouse_event(box.x + box.width // 2, box.y + box.height // 2, "b1c")
    time.sleep(0.5)


def tree_item(app, name=None):
    """The tree's node called `name`, or its first node."""
    for node in descendants(app):
        if node.get_role() == Atspi.Role.TREE:
            for i in range(node.get_child_count()):
                item = node.get_child_at_index(i)
                if item.get_role() != Atspi.Role.TABLE_COLUMN_HEADER and \
                        name in (None, item.get_name()):
                    return item
    return None


def focus_report(table, key):
    rows = min(Atspi.Table.get_n_rows(table), 8)
    at = focused_cell(table, rows, Atspi.Table.get_n_columns(table))
    return f"{key}: " + (reading(table, *at) if at else "no focused cell")


def main():
    kirune, book, subject = sys.argv[1:4]
    home = tempfile.mkdtemp(prefix="kirune-atspi-")
    copy = os.path.join(home, os.path.basename(book))
    shutil.copy(book, copy)
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
               XDG_DATA_HOME=os.path.join(home, "data"), QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    # The virtual screen may not take a connection yet: the program then ends at once and is
    # started again.
    child = None
    try:
        for _ in range(5):
            child = subprocess.Popen([kirune, copy], env=env)
            app = wait_for(lambda: program(child.pid) or (False if child.poll() is not None else None),
                           "the program")
            if app:
                break
            time.sleep(1)
        else:
            raise SystemExit("the program did not start on the screen")
        table = wait_for(lambda: the_table(app), "the table 画面の表")
        print(f"role {table.get_role_name()}")
        print(f"size {Atspi.Table.get_n_rows(table)} x {Atspi.Table.get_n_columns(table)}")
        print(f"cell {reading(table, 2, 0)}")
        # From the tree into the table with Tab, through it with the keys, out again with Tab.
        click(wait_for(lambda: tree_item(app), "the tree's first node"))
        press("Tab")
        print(focus_report(table, "Tab"))
        for key in ("Down", "Down", "End", "Home"):
            press(key)
            print(focus_report(table, key))
        press("Tab")
        print(focus_report(table, "Tab"))
        # A subject's table: points under their viewpoint's header.
        click(tree_item(app))
        press("Right")  # the class's branch opens
        click(wait_for(lambda: tree_item(app, subject), f"the tree's node {subject}"))
        print(f"size {Atspi.Table.get_n_rows(table)} x {Atspi.Table.get_n_columns(table)}")
        click(Atspi.Table.get_accessible_at(table, 2, 1))
        print(focus_report(table, "click"))
        press("Right")
        print(focus_report(table, "Right"))
    finally:
        if child:
            child.kill()
            child.wait()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    main()
