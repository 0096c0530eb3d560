#!/usr/bin/python3
"""Reads Vantorel's windows through the accessibility bus, as a screen reader does, and fails on
what a listener would miss. Runs in the session run_atspi_test.sh makes."""

import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

HEARD = []  # what took the focus, in order
RENAMED = []  # the names objects announced as their new ones, in order
CHOSEN = []  # what was announced as chosen, in order
KEYS_TO = [None]  # the top-level window that has the keyboard
WAIT_SECONDS = 10
LISTS = (pyatspi.ROLE_LIST, pyatspi.ROLE_TABLE)
WINDOWS = (pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW, pyatspi.ROLE_INTERNAL_FRAME, pyatspi.ROLE_FILLER)
TAB, DOWN, RETURN = "Tab", "Down", "Return"


def pump(seconds=0.2):
    """Lets the bus deliver what the program sent meanwhile."""
    context = GLib.MainContext.default()
    end = time.time() + seconds
    while time.time() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def describe(node):
    return '%s "%s"' % (node.getRoleName(), node.name)


def application():
    return next((a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "Vantorel"), None)


def descendants(node):
    """Every object below node but a list's entries (a report may have a million)."""
    for child in node:
        if child is not None:
            yield child
            if child.getRole() not in LISTS:
                yield from descendants(child)


def find(node, role, name):
    return next((o for o in descendants(node) if o.getRole() == role and o.name == name), None) if node else None


def wait_for(what, look):
    end = time.time() + WAIT_SECONDS
    while time.time() < end:
        found = look()
        if found:
            return found
        pump()
    raise AssertionError("never appeared: " + what)


def window_named(title):
    app = application()
    return next((o for o in descendants(app) if o.name == title and o.getRole() in WINDOWS), None) if app else None


def activate(title):
    """Gives a top-level window the keyboard, as a click on it would: the window manager does not
    always hand it to a window that no key or click has reached yet. Keys then go to it."""
    KEYS_TO[0] = title
    subprocess.run(["xdotool", "search", "--sync", "--name", "^%s$" % title.replace(".", "\\."),
                    "windowactivate", "--sync", "windowfocus", "--sync"],
                   check=False, timeout=WAIT_SECONDS, capture_output=True)
    pump()


def labelled_by(node):
    return [r.getTarget(i).name for r in node.getRelationSet()
            if r.getRelationType() == pyatspi.RELATION_LABELLED_BY for i in range(r.getNTargets())]


def press(node):
    node.queryAction().doAction(0)
    pump()


def type_into(node, text):
    node.queryEditableText().setTextContents(text)
    pump()


def tap(name):
    """A key pressed on the keyboard of the display, into the window that has it."""
    if KEYS_TO[0]:
        activate(KEYS_TO[0])
    subprocess.run(["xdotool", "key", name], check=True, timeout=WAIT_SECONDS)
    pump()


def key(name):
    """Presses a key and tells what took the focus: waits for the first focus event (a loaded
    machine is slow to deliver it), then for any that follow at once."""
    HEARD.clear()
    tap(name)
    end = time.time() + WAIT_SECONDS
    while not HEARD and time.time() < end:
        pump(0.05)
    pump(0.3)
    return " then ".join(describe(o) for o in HEARD) or "(nothing)"


class Walk:
    def __init__(self):
        self.faults = []
        self.controls = self.named = 0

    def expect(self, condition, fault):
        if not condition:
            self.faults.append(fault)

    def expect_heard(self, heard, expected, fault):
        """What keys announced; when no focus event of any key reached the bus, the virtual
        display did not hand the keys to the program (now and then it does not, on a loaded
        machine), which is said, not counted as the program's fault. Whether the keys reached it."""
        if all(h == "(nothing)" for h in heard):
            print("WARNING: no key reached the program on this display; %s not checked" % fault.split(" ")[0])
            return False
        self.expect(heard == expected, fault % heard)
        return True

    def window(self, title):
        """The window once it is on show; each control it offers the keyboard must have a name."""
        window = wait_for("the window " + title, lambda: window_named(title))
        controls = [o for o in descendants(window) if o.getState().contains(pyatspi.STATE_FOCUSABLE)
                    and o.getState().contains(pyatspi.STATE_SHOWING)]
        for control in controls:
            self.controls += 1
            self.named += bool(control.name)
            self.expect(control.name, "%s: a %s without a name" % (title, control.getRoleName()))
        return window

    def open(self, frame, item, title):
        press(wait_for("the menu item " + item, lambda: find(frame, pyatspi.ROLE_MENU_ITEM, item)))
        return self.window(title)

    def log_in(self, employee, password):
        login = self.window("Enter your Employee ID and Password")
        activate(login.name)
        for name in ("Employee ID", "Password"):
            box = find(login, pyatspi.ROLE_PASSWORD_TEXT if name == "Password" else pyatspi.ROLE_TEXT, name)
            self.expect(box and labelled_by(box) == [name], "no box named and labelled %s" % name)
            if box:
                type_into(box, employee if name == "Employee ID" else password)
        box.queryComponent().grabFocus()
        tap(RETURN)  # as a user submits


def frame_of(walk, employee, password):
    walk.log_in(employee, password)
    title = "Vantorel - User %s logged in." % employee
    frame = wait_for("the frame", lambda: window_named(title))
    activate(title)
    return frame


def check_alert(walk):
    walk.log_in("nobody", "nothing")
    app = application()
    frame = wait_for("the message box", lambda: next((o for o in descendants(app) if o.name == "Vantorel"), None))
    said = [frame.description] + [o.name for o in descendants(frame)]
    walk.expect(frame.getRole() == pyatspi.ROLE_ALERT, "the message box is a " + frame.getRoleName())
    walk.expect("Invalid ID Number." in said, "the message box says %s" % said)
    press(find(frame, pyatspi.ROLE_PUSH_BUTTON, "OK"))


def check_repair_history(walk, frame):
    window = walk.open(frame, "View Repair History", "Vehicle Maintenance History")
    number = find(window, pyatspi.ROLE_TEXT, "Vehicle Number")
    number.queryComponent().grabFocus()
    pump(0.5)
    heard = [key(TAB) for _ in range(4)]
    print("Tab through Vehicle Maintenance History: " + "; ".join(heard))
    walk.expect_heard(heard, ['push button "Show History"', 'push button "Clear"', 'list "Repair Dates"',
                              'text "Vehicle Number"'], "Tab announced %s")
    type_into(number, "1001")
    press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Show History"))
    walk.expect(find(window, pyatspi.ROLE_LABEL, "Make: Ford"), "the make is not read as Make: Ford")
    dates = find(window, pyatspi.ROLE_LIST, "Repair Dates")
    walk.expect(dates and dates.childCount > 0 and dates[0].name, "the repair dates offer no entries")
    # Down chooses the first date; the job's details shown are announced, its comments too.
    dates.queryComponent().grabFocus()
    pump(0.5)
    RENAMED.clear()
    if walk.expect_heard([key(DOWN)], ['list item "%s"' % dates[0].name], "Down in the dates announced %s"):
        walk.expect(any(name.startswith("Comments: ") for name in RENAMED),
                    "the job's comments were not announced, only %s" % RENAMED)


def check_report(walk, frame):
    window = walk.open(frame, "Create Report", "Report Generator")
    type_into(find(window, pyatspi.ROLE_TEXT, "Criteria 1"), "All Vehicles")
    press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Generate Report"))
    column = find(walk.window("Report Results"), pyatspi.ROLE_LIST, "Vehicle Number")
    table = column.queryTable()
    walk.expect((column.childCount, table.nRows, table.nColumns) == (36, 36, 1),
                "the column offers %d entries in %dx%d" % (column.childCount, table.nRows, table.nColumns))
    walk.expect(column[0].name == "1001", "its first entry is " + column[0].name)
    CHOSEN.clear()
    heard = [key(DOWN) for _ in range(2)]
    print("Down twice in the report's first column: " + "; ".join(heard))
    if walk.expect_heard(heard, ['list item "1002"', 'list item "1003"'], "Down announced %s"):
        walk.expect(CHOSEN[-2:] == ["1002", "1003"], "Down announced as chosen %s" % CHOSEN)


def main():
    walk = Walk()
    pyatspi.Registry.registerEventListener(lambda e: e.detail1 and HEARD.append(e.source),
                                           "object:state-changed:focused")
    pyatspi.Registry.registerEventListener(lambda e: RENAMED.append(e.source.name),
                                           "object:property-change:accessible-name")
    pyatspi.Registry.registerEventListener(lambda e: e.detail1 and CHOSEN.append(e.source.name),
                                           "object:state-changed:selected")
    wait_for("Vantorel on the accessibility bus", application)
    check_alert(walk)
    frame = frame_of(walk, "20000001", "mechanic1")
    check_repair_history(walk, frame)
    check_report(walk, frame)
    walk.open(frame, "Service Vehicle", "Servicing")
    walk.open(frame, "Vantorel Help", "Vantorel Help")
    press(find(frame, pyatspi.ROLE_MENU_ITEM, "Change User"))
    frame = frame_of(walk, "10000001", "manager1")
    walk.open(frame, "Add New User", "Add a new User")
    walk.open(frame, "Add New Vehicle", "Enter New Vehicle Information")

    print("focusable controls: %d, with a name: %d" % (walk.controls, walk.named))
    for fault in walk.faults:
        print("FAULT: " + fault)
    return 1 if walk.faults else 0


if __name__ == "__main__":
    sys.exit(main())
