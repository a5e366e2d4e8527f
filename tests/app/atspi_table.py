#!/usr/bin/python3
# The main window's table read through the accessibility bus (AT-SPI) as a screen reader reads
# it: "column header, row header, text" of the focused cell after clicks and key presses.
# xvfb-run -a dbus-run-session -- atspi_table.py KIRUNE BOOK SUBJECT-NODE; exit 77: no AT-SPI.
import os, shutil, subprocess, sys, tempfile, time

try:
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi
except (ImportError, ValueError) as error:
    print(f"skipped: no AT-SPI for Python (python3-gi, gir1.2-atspi-2.0): {error}")
    sys.exit(77)
KEYS = {"Down": 0xFF54, "Right": 0xFF53, "Home": 0xFF50, "End": 0xFF57, "Tab": 0xFF09}

def wait_for(find, what):
    for _ in range(100):
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    raise SystemExit(f"not found on the accessibility bus: {what}")

def nodes(node, depth=0):
    if node is not None and depth < 12:
        yield node
        for i in range(node.get_child_count()):
            yield from nodes(node.get_child_at_index(i), depth + 1)

def first(nodes, role, name=None):
    return next((n for n in nodes if n and n.get_role() == role and
                 name in (None, n.get_name())), None)

def children(node):
    return [node.get_child_at_index(i) for i in range(node.get_child_count())] if node else []

def tree_item(app, name=None):  # the tree's node called `name`, or its first node
    return first(children(first(nodes(app), Atspi.Role.TREE)), Atspi.Role.TABLE_CELL, name)

def read(table, key):
    if table.get_state_set().contains(Atspi.StateType.FOCUSED):
        for row in range(min(Atspi.Table.get_n_rows(table), 8)):
            for col in range(Atspi.Table.get_n_columns(table)):
                cell = Atspi.Table.get_accessible_at(table, row, col)
                if cell.get_state_set().contains(Atspi.StateType.FOCUSED):
                    said = (Atspi.Table.get_column_header(table, col),
                            Atspi.Table.get_row_header(table, row), cell)
                    return print(f"{key}: " + ", ".join(x.get_name() for x in said))
    print(f"{key}: no focused cell")

def press(key):
    Atspi.generate_keyboard_event(KEYS[key], None, Atspi.KeySynthType.SYM)
    time.sleep(0.3)

def click(node):
    box = Atspi.Component.get_extents(node, Atspi.CoordType.SCREEN)
    Atspi.generate_mouse_event(box.x + box.width // 2, box.y + box.height // 2, "b1c")
    time.sleep(0.5)

def main(kirune, book, subject):
    home = tempfile.mkdtemp(prefix="kirune-atspi-")
    shutil.copy(book, home)
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home, XDG_DATA_HOME=home,
               QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    desktop = Atspi.get_desktop(0)
    try:
        for _ in range(5):  # a screen still starting takes no connection: the program ends
            child = subprocess.Popen([kirune, os.path.join(home, os.path.basename(book))], env=env)
            app = wait_for(lambda: next((a for a in children(desktop) if a and
                                         a.get_process_id() == child.pid), None) or
                           (False if child.poll() is not None else None), "the program")
            if app:
                break
        table = wait_for(lambda: first(nodes(app), Atspi.Role.TABLE, "画面の表"), "the table")
        print(f"size {Atspi.Table.get_n_rows(table)} x {Atspi.Table.get_n_columns(table)}")
        click(wait_for(lambda: tree_item(app), "the tree"))
        for key in ("Tab", "Down", "Down", "End", "Home", "Tab"):
            press(key)
            read(table, key)
        click(tree_item(app))
        press("Right")  # the class's branch opens
        click(wait_for(lambda: tree_item(app, subject), subject))
        click(Atspi.Table.get_accessible_at(table, 2, 1))
        read(table, "click")
        press("Right")
        read(table, "Right")
    finally:
        child.kill()
        child.wait()
        shutil.rmtree(home, ignore_errors=True)

main(*sys.argv[1:4])
