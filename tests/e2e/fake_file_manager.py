#!/usr/bin/python3
"""Stands in for the desktop's file manager on the session bus, as far as
the recorders use it: org.freedesktop.FileManager1's ShowItems. Each call's
URIs are appended to FILE, one a line.

    fake_file_manager.py FILE
"""
import sys

from gi.repository import Gio, GLib

XML = """<node><interface name="org.freedesktop.FileManager1">
  <method name="ShowItems"><arg type="as" direction="in"/><arg type="s" direction="in"/></method>
  <method name="ShowFolders"><arg type="as" direction="in"/><arg type="s" direction="in"/></method>
</interface></node>"""


def call(conn, sender, path, iface, method, args, invocation):
    uris, _startup = args.unpack()
    with open(sys.argv[1], "a") as f:
        for uri in uris:
            f.write(f"{method} {uri}\n")
    invocation.return_value(None)


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    info = Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0]
    bus.register_object("/org/freedesktop/FileManager1", info, call, None, None)
    Gio.bus_own_name_on_connection(bus, "org.freedesktop.FileManager1",
                                   Gio.BusNameOwnerFlags.NONE, None, None)
    open(sys.argv[1], "a").close()
    GLib.MainLoop().run()


main()
