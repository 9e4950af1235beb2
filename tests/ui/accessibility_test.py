"""The main window as a screen reader reads it, through AT-SPI: every control
that takes the focus has a name, no two the same, and the text fields have
the names the layout gives them.

Usage: accessibility_test.py PENTRAX2. Needs an X display and a session bus
of its own, from which at-spi2-core's accessibility bus is started:
tests/CMakeLists.txt runs it in scripts/with-x-session.sh under
dbus-run-session."""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import Gio, GLib

FIELDS = ["Custom width", "Custom height", "Border size", "Taskbar size",
          "Result"]  # top to bottom, left to right
TEXT_ROLES = (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY)


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


def focusable_controls(pid):
    """(top, left, role, name) of every focusable control of the program,
    once its text fields are among them; None before."""
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            controls = [
                node.queryComponent().getPosition(pyatspi.XY_WINDOW)[::-1] +
                (node.getRole(), node.name) for node in descendants(app)
                if node.getState().contains(pyatspi.STATE_FOCUSABLE)]
            if sum(c[2] in TEXT_ROLES for c in controls) >= len(FIELDS):
                return controls
    return None


def read_controls(program, seconds=60):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline and program.poll() is None:
        controls = focusable_controls(program.pid)
        if controls:
            return controls
        time.sleep(0.1)
    sys.exit(f"FAIL: no Pentrax window on the accessibility bus "
             f"(exit status {program.poll()})")


def main():
    # What a screen reader tells the desktop's programs when it starts.
    Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
        "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties",
        "Set", GLib.Variant("(ssv)", ("org.a11y.Status", "ScreenReaderEnabled",
                                      GLib.Variant("b", True))),
        None, Gio.DBusCallFlags.NONE, 10000, None)
    env = {k: v for k, v in os.environ.items()
           if k != "QT_LINUX_ACCESSIBILITY_ALWAYS_ON"}
    program = subprocess.Popen([sys.argv[1]], env=env)
    try:
        controls = sorted(read_controls(program))
    finally:
        program.terminate()
        program.wait(timeout=30)
    for _, _, role, name in controls:
        print(f"{role.value_nick}: {name!r}")
    names = [name for _, _, _, name in controls]
    fields = [name for _, _, role, name in controls if role in TEXT_ROLES]
    failures = [why for why, failed in [
        ("a focusable control without a name", not all(names)),
        ("two controls of the same name", len(set(names)) != len(names)),
        (f"text fields named {fields}, not {FIELDS}", fields != FIELDS),
    ] if failed]
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
