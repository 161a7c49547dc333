#!/usr/bin/python3
"""Stands in for the desktop's screen saver service on the session bus, as
far as the recorders use it: org.freedesktop.ScreenSaver's Inhibit and
UnInhibit. Each call is appended to FILE as "Inhibit COOKIE PROGRAM" or
"UnInhibit COOKIE".

    fake_screensaver.py FILE
"""
import sys

from gi.repository import Gio, GLib

XML = """<node><interface name="org.freedesktop.ScreenSaver">
  <method name="Inhibit"><arg type="s" direction="in"/><arg type="s" direction="in"/>
    <arg type="u" direction="out"/></method>
  <method name="UnInhibit"><arg type="u" direction="in"/></method>
</interface></node>"""
cookies = [0]


def call(conn, sender, path, iface, method, args, invocation):
    with open(sys.argv[1], "a") as f:
        if method == "Inhibit":
            cookies[0] += 1
            f.write(f"Inhibit {cookies[0]} {args.unpack()[0]}\n")
            invocation.return_value(GLib.Variant("(u)", (cookies[0],)))
        else:
            f.write(f"UnInhibit {args.unpack()[0]}\n")
            invocation.return_value(None)


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    info = Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0]
    bus.register_object("/org/freedesktop/ScreenSaver", info, call, None, None)
    Gio.bus_own_name_on_connection(bus, "org.freedesktop.ScreenSaver",
                                   Gio.BusNameOwnerFlags.NONE, None, None)
    open(sys.argv[1], "a").close()
    GLib.MainLoop().run()


main()
