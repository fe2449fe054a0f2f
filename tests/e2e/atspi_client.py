#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The tool as a screen reader on AT-SPI meets it, on the session bus in
DBUS_SESSION_BUS_ADDRESS.

  atspi_client.py listen
      Prints one line per event a screen reader speaks whatever has the focus
      (a notification appearing or renamed) and per change of the connection
      lamp, as "<event type>\\t<role>\\t<name>", after "READY" once the
      listeners are registered. Runs until it is terminated.

  atspi_client.py act <role> <name prefix> <action>
      Runs the named action (Press, SetFocus, ...) of the first object of the
      tool with this role (as AT-SPI names roles: "push button", "combo box")
      whose name begins with the prefix; prints "DONE", or "MISSING"."""

import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def report(event):
    try:
        source = event.source
        role = source.get_role()
        name = source.get_name() or ""
    except Exception:  # the object went away meanwhile
        return
    # A new name comes with its event: asked for later, it may have changed.
    if event.type.startswith("object:property-change:accessible-name") and isinstance(event.any_data, str):
        name = event.any_data
    if event.type.startswith("object:state-changed:showing") and not event.detail1:
        return
    if role in (Atspi.Role.NOTIFICATION, Atspi.Role.ALERT) or name.startswith(
            ("Порт ", "Пропущено строк", "Текущий пуск", "Нет пуска", "Журнал ")):
        print(f"{event.type}\t{source.get_role_name()}\t{name}", flush=True)


def listen():
    listener = Atspi.EventListener.new(report)
    for kind in ("object:state-changed:showing", "object:property-change:accessible-name",
                 "object:state-changed:checked"):
        listener.register(kind)
    print("READY", flush=True)
    Atspi.event_main()


def find(node, role, prefix):
    try:
        if node.get_role_name() == role and (node.get_name() or "").startswith(prefix):
            return node
        for i in range(node.get_child_count()):
            found = find(node.get_child_at_index(i), role, prefix)
            if found:
                return found
    except Exception:  # an object that went away while walking
        pass
    return None


def act(role, prefix, action):
    # The tool joins the bus a moment after its window shows.
    deadline = time.monotonic() + 30
    while True:
        if try_act(role, prefix, action):
            print("DONE", flush=True)
            return 0
        if time.monotonic() > deadline:
            print("MISSING", flush=True)
            return 1
        time.sleep(0.2)


def try_act(role, prefix, action):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is None or app.get_name() != "ortan5":
            continue
        target = find(app, role, prefix)
        if target is None:
            continue
        actions = target.get_action_iface()
        for k in range(actions.get_n_actions()):
            if actions.get_action_name(k) == action:
                actions.do_action(k)
                return True
    return False


if __name__ == "__main__":
    if sys.argv[1:2] == ["listen"]:
        listen()
    elif sys.argv[1:2] == ["act"] and len(sys.argv) == 5:
        sys.exit(act(*sys.argv[2:5]))
    else:
        sys.exit(__doc__)
