#!/usr/bin/python3
"""Stands in for logind on the system bus, as far as the recorders use it:
org.freedesktop.login1.Manager's Inhibit, which hands over one end of a
pipe and holds the other, and its PrepareForSleep signal. Appended to
FILE: "Inhibit WHAT WHO WHY MODE" for each call and "released WHO" when
the descriptor it handed over is closed (let go, or its program gone).
SIGUSR1 sends PrepareForSleep(true) and, half a second later, (false),
as a closed lid does.

    fake_logind.py FILE
"""
import os
import signal
import sys

from gi.repository import Gio, GLib

XML = """<node><interface name="org.freedesktop.login1.Manager">
  <method name="Inhibit"><arg type="s" direction="in"/><arg type="s" direction="in"/>
    <arg type="s" direction="in"/><arg type="s" direction="in"/>
    <arg type="h" direction="out"/></method>
  <signal name="PrepareForSleep"><arg type="b"/></signal>
</interface></node>"""
PATH = "/org/freedesktop/login1"
IFACE = "org.freedesktop.login1.Manager"


def log(line):
    with open(sys.argv[1], "a") as f:
        f.write(line + "\n")


def call(conn, sender, path, iface, method, args, invocation):
    what, who, why, mode = args.unpack()
    log(f"Inhibit {what} {who} {why} {mode}")
    held, handed = os.pipe()

    def closed(fd, condition):
        log(f"released {who}")
        os.close(fd)
        return False

    GLib.unix_fd_add_full(GLib.PRIORITY_DEFAULT, held, GLib.IOCondition.HUP, closed)
    fds = Gio.UnixFDList.new_from_array([handed])  # owns it: ours is closed once sent
    invocation.return_value_with_unix_fd_list(GLib.Variant("(h)", (0,)), fds)


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SYSTEM, None)
    info = Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0]
    bus.register_object(PATH, info, call, None, None)
    Gio.bus_own_name_on_connection(bus, "org.freedesktop.login1",
                                   Gio.BusNameOwnerFlags.NONE, None, None)

    def sleep_signal(value):
        bus.emit_signal(None, PATH, IFACE, "PrepareForSleep", GLib.Variant("(b)", (value,)))
        return False

    def lid_closed():
        sleep_signal(True)
        GLib.timeout_add(500, sleep_signal, False)
        return True

    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, lid_closed)
    open(sys.argv[1], "a").close()
    GLib.MainLoop().run()


main()
