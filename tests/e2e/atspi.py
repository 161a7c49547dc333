#!/usr/bin/python3
"""Drives the programs through the desktop's accessibility bus (AT-SPI),
which works where synthetic input does not (Wayland), the way a screen
reader or a switch user's tool does.

    atspi.py wait APP NAME [SECONDS]     a control or window named NAME appears in APP
    atspi.py match APP REGEX [SECONDS]   prints the name of a control matching REGEX
    atspi.py press APP NAME              presses the button named NAME
    atspi.py value APP NAME VALUE        sets the slider or scroll bar named NAME
    atspi.py gone APP [SECONDS]          APP has left the bus
    atspi.py pid APP                     prints APP's process id
Exits 1 (with a line on stderr) when the control is not there in time.
"""
import re
import sys
import time

import pyatspi


def apps(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            yield app


def find(app_name, name, fits=None):
    """The control named `name` (or whose name `fits`) that is on screen (a
    hidden page of a wizard may hold another of the same name)."""
    fits = fits or (lambda found: found == name)
    for app in apps(app_name):
        stack = [app]
        while stack:
            acc = stack.pop()
            try:
                if fits(acc.name) and acc is not app and \
                        acc.getState().contains(pyatspi.STATE_SHOWING):
                    return acc
                stack.extend(acc.getChildAtIndex(i) for i in range(acc.childCount))
            except Exception:  # a control that went away meanwhile
                continue
    return None


def wait_for(check, seconds):
    end = time.monotonic() + seconds
    while True:
        found = check()
        if found or time.monotonic() > end:
            return found
        time.sleep(0.2)


def main(argv):
    what, app = argv[1], argv[2]
    if what == "gone":
        seconds = float(argv[3]) if len(argv) > 3 else 10
        return 0 if wait_for(lambda: not any(apps(app)), seconds) else fail(f"{app} still runs")
    if what == "pid":
        found = next(apps(app), None)
        if found is None:
            return fail(f"no {app}")
        print(found.get_process_id())
        return 0
    name = argv[3]
    seconds = float(argv[4]) if what in ("wait", "match") and len(argv) > 4 else 20
    fits = (lambda found: re.fullmatch(name, found or "") is not None) if what == "match" else None
    acc = wait_for(lambda: find(app, name, fits), seconds)
    if acc is None:
        return fail(f"no '{name}' in {app}")
    if what == "match":
        print(acc.name)
    if what == "press":
        action = acc.queryAction()
        for i in range(action.nActions):
            if action.getName(i) in ("Press", "press", "click"):
                action.doAction(i)
                return 0
        action.doAction(0)
    elif what == "value":
        acc.queryValue().currentValue = float(argv[4])
    return 0


def fail(message):
    print(f"atspi: {message}", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
