#!/usr/bin/python3
"""Stands in for the desktop's services that hold off sleep on the session
bus, as far as the recorders use them: org.freedesktop.ScreenSaver's
Inhibit and UnInhibit, and GNOME's org.gnome.SessionManager Inhibit and
Uninhibit. Each call is appended to FILE as "Inhibit COOKIE PROGRAM",
"UnInhibit COOKIE", "gnome Inhibit COOKIE PROGRAM FLAGS" or
"gnome Uninhibit COOKIE".

    fake_screensaver.py FILE
"""
import sys

from gi.repository import Gio, GLib

XML = """<node><interface name="org.freedesktop.ScreenSaver">
  <method name="Inhibit"><arg type="s" direction="in"/><arg type="s" direction="in"/>
    <arg type="u" direction="out"/></method>
  <method name="UnInhibit"><arg type="u" direction="in"/></method>
</interface></node>"""
GNOME = """<node><interface name="org.gnome.SessionManager">
  <method name="Inhibit"><arg type="s" direction="in"/><arg type="u" direction="in"/>
    <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="u" direction="out"/></method>
  <method name="Uninhibit"><arg type="u" direction="in"/></method>
</interface></node>"""
cookies = [0]


def gnome(conn, sender, path, iface, method, args, invocation):
    with open(sys.argv[1], "a") as f:
        if method == "Inhibit":
            cookies[0] += 1
            program, _window, _reason, flags = args.unpack()
            f.write(f"gnome Inhibit {cookies[0]} {program} {flags}\n")
            invocation.return_value(GLib.Variant("(u)", (cookies[0],)))
        else:
            f.write(f"gnome Uninhibit {args.unpack()[0]}\n")
            invocation.return_value(None)


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
    info = Gio.DBusNodeInfo.new_for_xml(GNOME).interfaces[0]
    bus.register_object("/org/gnome/SessionManager", info, gnome, None, None)
    Gio.bus_own_name_on_connection(bus, "org.gnome.SessionManager",
                                   Gio.BusNameOwnerFlags.NONE, None, None)
    open(sys.argv[1], "a").close()
    GLib.MainLoop().run()


main()
