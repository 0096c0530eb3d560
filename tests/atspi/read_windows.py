#!/usr/bin/python3
"""Reads Vantorel's windows through the accessibility bus, as a screen reader does.

Run inside a desktop session that has the program running on a demo database (see
run_atspi_test.sh). With --check it fails on what a screen-reader user would miss; with --dump
it prints every window's controls and the counts of named ones.
"""

import sys
import time

import pyatspi
from gi.repository import GLib

FOCUS_EVENTS = []
STEP_SECONDS = 10


def pump(seconds=0.2):
    """Lets the bus deliver what the program sent meanwhile."""
    context = GLib.MainContext.default()
    end = time.time() + seconds
    while time.time() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def on_focus(event):
    if event.detail1:
        FOCUS_EVENTS.append(event.source)


def wait_for(what, find):
    end = time.time() + STEP_SECONDS
    while time.time() < end:
        found = find()
        if found:
            return found
        pump()
    app = application()
    seen = [describe(o) for o in descendants(app)][:40] if app else "no application"
    raise AssertionError("never appeared: %s (the program shows %s)" % (what, seen))


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name.lower() == "vantorel":
            return app
    return None


def descendants(node, skip_lists=True):
    """Every object below node; a list's entries are not visited (a report has a million)."""
    for child in node:
        if child is None:
            continue
        yield child
        if skip_lists and child.getRole() in (pyatspi.ROLE_LIST, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE):
            continue
        yield from descendants(child, skip_lists)


def find(node, role, name=None):
    for child in descendants(node):
        if child.getRole() == role and (name is None or child.name == name):
            return child
    return None


def window_named(title):
    app = application()
    if not app:
        return None
    for window in descendants(app):
        if window.name == title and window.getRole() in (
                pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW, pyatspi.ROLE_DIALOG, pyatspi.ROLE_INTERNAL_FRAME,
                pyatspi.ROLE_FILLER):
            return window
    return None


def message_box():
    app = application()
    return next((o for o in descendants(app) if o.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)
                 and o.name == "Vantorel"), None) if app else None


def states(node):
    return node.getState()


def focusable(node):
    state = states(node)
    return state.contains(pyatspi.STATE_FOCUSABLE) and state.contains(pyatspi.STATE_SHOWING)


def labelled_by(node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return []


def key_binding(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return ""
    return action.getKeyBinding(0) if action.nActions else ""


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click", "Toggle", "toggle"):
            action.doAction(i)
            pump()
            return
    action.doAction(0)
    pump()


def type_into(node, text):
    node.queryEditableText().setTextContents(text)
    pump()


def describe(node):
    return "%s \"%s\"" % (node.getRoleName(), node.name)


def controls_of(window):
    return [o for o in descendants(window) if focusable(o)]


def tab_walk(window, start, presses):
    """Tabs from `start` and notes each announcement: the role and name of what takes the focus."""
    start.queryComponent().grabFocus()
    pump(0.5)
    heard = []
    for _ in range(presses):
        FOCUS_EVENTS.clear()
        pyatspi.Registry.generateKeyboardEvent(0xff09, None, pyatspi.KEY_SYM)  # Tab
        pump(0.4)
        heard.append(describe(FOCUS_EVENTS[-1]) if FOCUS_EVENTS else "(nothing)")
    return heard


class Walk:
    def __init__(self):
        self.faults = []
        self.controls = 0
        self.named = 0

    def expect(self, condition, fault):
        if not condition:
            self.faults.append(fault)

    def window(self, title, dump):
        window = wait_for("the window " + title, lambda: window_named(title))
        for control in controls_of(window):
            self.controls += 1
            self.named += bool(control.name)
            self.expect(control.name, "%s: a %s without a name" % (title, control.getRoleName()))
            if dump:
                print("  %-22s %-40s labelled by %s  keys %s" % (
                    control.getRoleName(), '"%s"' % control.name, labelled_by(control), key_binding(control)))
        return window


def log_in(walk, dump):
    login = walk.window("Enter your Employee ID and Password", dump)
    boxes = [o for o in descendants(login) if o.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_PASSWORD_TEXT)]
    by_name = {box.name: box for box in boxes}
    walk.expect(set(by_name) == {"Employee ID", "Password"}, "log-in boxes are named %s" % sorted(by_name))
    for name, box in by_name.items():
        walk.expect(labelled_by(box) == [name], "%s is labelled by %s" % (name, labelled_by(box)))
    if set(by_name) != {"Employee ID", "Password"}:
        boxes.sort(key=lambda box: box.getRole() == pyatspi.ROLE_PASSWORD_TEXT)
        by_name = {"Employee ID": boxes[0], "Password": boxes[1]}
    return login, by_name


def check_alert(walk, login, box, dump):
    type_into(box["Employee ID"], "nobody")
    type_into(box["Password"], "nothing")
    press(find(login, pyatspi.ROLE_PUSH_BUTTON, "Submit"))
    message = wait_for("the message box", message_box)
    walk.expect(message.getRole() == pyatspi.ROLE_ALERT, "the message box is a %s" % message.getRoleName())
    said = [message.name, message.description] + [o.name for o in descendants(message)]
    if dump:
        print("alert: %s, says %s" % (describe(message), said))
    walk.expect("Invalid ID Number." in said, "the alert says %s" % said)
    press(find(message, pyatspi.ROLE_PUSH_BUTTON, "OK"))


def open_from_menu(frame, item):
    press(wait_for("the menu item " + item, lambda: find(frame, pyatspi.ROLE_MENU_ITEM, item)))


def check_repair_history(walk, frame, dump):
    open_from_menu(frame, "View Repair History")
    window = walk.window("Vehicle Maintenance History", dump)
    number = find(window, pyatspi.ROLE_TEXT, "Vehicle Number")
    walk.expect(number is not None, "no box named Vehicle Number")
    if number is None:
        return
    heard = tab_walk(window, number, 4)
    print("Tab through Vehicle Maintenance History: " + "; ".join(heard))
    walk.expect(heard[:3] == ['push button "Show History"', 'push button "Clear"', 'list "Repair Dates"'],
                "Tab announced %s" % heard)
    type_into(number, "1001")
    press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Show History"))
    makes = [o.name for o in descendants(window) if o.name.startswith("Make: ")]
    walk.expect(makes and len(makes[0]) > len("Make: "), "the make is announced as %s" % makes)
    dates = find(window, pyatspi.ROLE_LIST, "Repair Dates")
    walk.expect(dates is not None and dates.childCount > 0 and dates[0].name,
                "the repair dates list offers no entries")
    if dump:
        print("value labels: %s" % [o.name for o in descendants(window) if o.getRole() == pyatspi.ROLE_LABEL])


def check_report(walk, frame, dump):
    open_from_menu(frame, "Create Report")
    window = walk.window("Report Generator", dump)
    choice = find(window, pyatspi.ROLE_TEXT, "Criteria 1")
    walk.expect(choice is not None, "no box named Criteria 1")
    if choice is None:
        return
    type_into(choice, "All Vehicles")
    press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Generate Report"))
    results = walk.window("Report Results", dump)
    column = find(results, pyatspi.ROLE_LIST, "Vehicle Number")
    walk.expect(column is not None, "no report list named Vehicle Number")
    if column is None:
        return
    walk.expect(column.childCount == 36, "the column offers %d entries" % column.childCount)
    walk.expect(column.childCount and column[0].name == "1001", "its first entry is not 1001")
    table = column.queryTable()
    walk.expect(table.nRows == 36 and table.nColumns == 1, "its table is %dx%d" % (table.nRows, table.nColumns))
    FOCUS_EVENTS.clear()
    column.queryComponent().grabFocus()
    pump(0.3)
    pyatspi.Registry.generateKeyboardEvent(0xff54, None, pyatspi.KEY_SYM)  # Down
    pump(0.4)
    pyatspi.Registry.generateKeyboardEvent(0xff54, None, pyatspi.KEY_SYM)
    pump(0.4)
    heard = [describe(o) for o in FOCUS_EVENTS]
    print("Down twice in the report's first column: " + "; ".join(heard))
    walk.expect(heard[-2:] == ['list item "1002"', 'list item "1003"'], "Down announced %s" % heard)


def main():
    dump = "--dump" in sys.argv
    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    wait_for("Vantorel on the accessibility bus", application)
    walk = Walk()

    login, box = log_in(walk, dump)
    heard = tab_walk(login, box["Employee ID"], 5)
    print("Tab through the log-in window: " + "; ".join(heard))
    check_alert(walk, login, box, dump)
    type_into(box["Employee ID"], "20000001")
    type_into(box["Password"], "mechanic1")
    press(find(login, pyatspi.ROLE_PUSH_BUTTON, "Submit"))
    frame = wait_for("the frame", lambda: window_named("Vantorel - User 20000001 logged in."))
    check_repair_history(walk, frame, dump)
    check_report(walk, frame, dump)
    for item, title in (("Service Vehicle", "Servicing"), ("Vantorel Help", "Vantorel Help")):
        open_from_menu(frame, item)
        walk.window(title, dump)

    open_from_menu(frame, "Change User")
    login, box = log_in(walk, dump)
    type_into(box["Employee ID"], "10000001")
    type_into(box["Password"], "manager1")
    press(find(login, pyatspi.ROLE_PUSH_BUTTON, "Submit"))
    frame = wait_for("the manager's frame", lambda: window_named("Vantorel - User 10000001 logged in."))
    for item, title in (("Add New User", "Add a new User"), ("Add New Vehicle", "Enter New Vehicle Information")):
        open_from_menu(frame, item)
        walk.window(title, dump)

    print("focusable controls: %d, with a name: %d" % (walk.controls, walk.named))
    for fault in walk.faults:
        print("FAULT: " + fault)
    return 1 if walk.faults else 0


if __name__ == "__main__":
    sys.exit(main())
