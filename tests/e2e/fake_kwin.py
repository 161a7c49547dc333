#!/usr/bin/python3
"""Stands in for KWin on the session bus, as far as the magnifier uses it:
the effects loader (org.kde.KWin /Effects) and the zoom effect's global
shortcuts (org.kde.kglobalaccel /component/kwin). The zoom goes by KWin's
steps of 1.2. After every call the state is written to FILE as one line:
"loaded ZOOM" or "unloaded ZOOM".

    fake_kwin.py FILE
"""
import sys

from gi.repository import Gio, GLib

EFFECTS = """<node><interface name="org.kde.kwin.Effects">
  <method name="isEffectLoaded"><arg type="s" direction="in"/><arg type="b" direction="out"/></method>
  <method name="loadEffect"><arg type="s" direction="in"/><arg type="b" direction="out"/></method>
  <method name="unloadEffect"><arg type="s" direction="in"/></method>
</interface></node>"""
SHORTCUTS = """<node><interface name="org.kde.kglobalaccel.Component">
  <method name="invokeShortcut"><arg type="s" direction="in"/></method>
</interface></node>"""

state = {"loaded": False, "zoom": 1.0}


def write():
    with open(sys.argv[1], "w") as f:
        f.write(f"{'loaded' if state['loaded'] else 'unloaded'} {state['zoom']:.2f}\n")


def effects(conn, sender, path, iface, method, args, invocation):
    name = args.unpack()[0]
    if name != "zoom":
        invocation.return_dbus_error("org.kde.KWin.Error", "no such effect")
        return
    if method == "isEffectLoaded":
        invocation.return_value(GLib.Variant("(b)", (state["loaded"],)))
    elif method == "loadEffect":
        state["loaded"] = True
        invocation.return_value(GLib.Variant("(b)", (True,)))
    else:
        state["loaded"] = False
        state["zoom"] = 1.0
        invocation.return_value(None)
    write()


def shortcuts(conn, sender, path, iface, method, args, invocation):
    name = args.unpack()[0]
    if state["loaded"] and name == "view_zoom_in":
        state["zoom"] *= 1.2
    elif state["loaded"] and name == "view_zoom_out":
        state["zoom"] = max(1.0, state["zoom"] / 1.2)
    elif state["loaded"] and name == "view_actual_size":
        state["zoom"] = 1.0
    invocation.return_value(None)
    write()


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    for xml, path, handler in ((EFFECTS, "/Effects", effects),
                               (SHORTCUTS, "/component/kwin", shortcuts)):
        info = Gio.DBusNodeInfo.new_for_xml(xml).interfaces[0]
        bus.register_object(path, info, handler, None, None)
    for name in ("org.kde.KWin", "org.kde.kglobalaccel"):
        Gio.bus_own_name_on_connection(bus, name, Gio.BusNameOwnerFlags.NONE, None, None)
    write()
    GLib.MainLoop().run()


main()
