#!/usr/bin/python3
"""A small stand-in for xdg-desktop-portal on a private session bus, for the portal client tests.

It serves the host registry, GlobalShortcuts, Screenshot and RemoteDesktop the way the real
portal's documentation describes them: methods return a Request handle at once and answer later
through that Request's Response signal. What it answers is set per test through the control
interface org.blinkwit.MockPortal (Configure), which also reports every call (Calls), fires
shortcuts (Activate) and closes sessions (CloseSessions).

Configure keys:
  registry          "present" (default) or "missing" (the method does not exist)
  require_app_id    refuse GlobalShortcuts.CreateSession without a registered id (NotAllowed)
  answer.<Method>   "success" (default), "cancel", "other", "never" (no Response) or "error"
  lists_until_bound ListShortcuts lists only what this session bound (default: what the app
                    ever bound)
  binds_on_error    BindShortcuts binds even when it answers "other" (GNOME 48)
  screenshot_uri    the uri a successful Screenshot answers with
  restore_token     the token RemoteDesktop.Start hands out (default "token-1")
  devices           the devices RemoteDesktop.Start grants (default 1, the keyboard)
  old_style_handles answer on a request path of the portal's own choosing (portals before 0.9)
  interfaces        the portal interfaces offered (default: all four)
"""
import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

BUS_NAME = "org.freedesktop.portal.Desktop"
PATH = "/org/freedesktop/portal/desktop"
CONTROL = "org.blinkwit.MockPortal"
REGISTRY = "org.freedesktop.host.portal.Registry"
SHORTCUTS = "org.freedesktop.portal.GlobalShortcuts"
SCREENSHOT = "org.freedesktop.portal.Screenshot"
REMOTE = "org.freedesktop.portal.RemoteDesktop"
PROPERTIES = "org.freedesktop.DBus.Properties"
ANSWER_DELAY_MS = 20


def sender_element(sender):
    return sender[1:].replace(".", "_")


def plain(value):
    """D-Bus values as JSON-friendly Python values."""
    if isinstance(value, (dbus.Dictionary, dict)):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, (dbus.Array, dbus.Struct, list, tuple)):
        return [plain(v) for v in value]
    if isinstance(value, dbus.Boolean):
        return bool(value)
    if isinstance(value, (dbus.String, dbus.ObjectPath)):
        return str(value)
    if isinstance(value, (int, float)):
        return value
    return str(value)


class Request(dbus.service.Object):
    def __init__(self, bus, path):
        super().__init__(bus, path)
        self.closed = False

    @dbus.service.method("org.freedesktop.portal.Request")
    def Close(self):
        self.closed = True
        self.remove_from_connection()

    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, response, results):
        pass


class Session(dbus.service.Object):
    def __init__(self, bus, path, portal, kind):
        super().__init__(bus, path)
        self.path = path
        self.portal = portal
        self.kind = kind
        self.bound = []
        self.started = False

    @dbus.service.method("org.freedesktop.portal.Session")
    def Close(self):
        self.portal.sessions.pop(self.path, None)
        self.remove_from_connection()

    @dbus.service.signal("org.freedesktop.portal.Session", signature="a{sv}")
    def Closed(self, details):
        pass


class RemoteDesktopSessions(dbus.service.Object):
    """RemoteDesktop.CreateSession: dbus-python finds methods by their Python name, so the second
    CreateSession lives in a base class of its own."""

    @dbus.service.method(REMOTE, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
    def CreateSession(self, options, sender=None):
        self.note("RemoteDesktop.CreateSession", sender, options)
        self.refuse_unoffered(REMOTE)
        path = self.new_session(sender, options, "remote")
        return self.request(sender, options, "CreateSession",
                            {"session_handle": dbus.String(path)})


class Portal(RemoteDesktopSessions):
    def __init__(self, bus):
        super().__init__(bus, PATH)
        self.bus = bus
        self.config = {}
        self.calls = []
        self.app_ids = {}
        self.sessions = {}
        self.ever_bound = {}
        self.counter = 0

    # --- helpers ---------------------------------------------------------------------------
    def note(self, method, sender, *args):
        self.calls.append({"method": method, "sender": str(sender), "args": plain(list(args))})

    def answer_for(self, method):
        return self.config.get("answer." + method, "success")

    def request(self, sender, options, method, results):
        """Creates the Request object and answers on it later, as configured."""
        answer = self.answer_for(method)
        if answer == "error":
            raise dbus.exceptions.DBusException(
                "mock refuses " + method, name="org.freedesktop.portal.Error.Failed")
        self.counter += 1
        if self.config.get("old_style_handles"):
            token = "old%d" % self.counter
        else:
            token = str(options.get("handle_token", "t%d" % self.counter))
        path = "%s/request/%s/%s" % (PATH, sender_element(sender), token)
        request = Request(self.bus, path)
        codes = {"success": 0, "cancel": 1, "other": 2}

        def respond():
            if answer in codes and not request.closed:
                value = results() if callable(results) and answer == "success" else (
                    results if answer == "success" else {})
                request.Response(dbus.UInt32(codes[answer]), dbus.Dictionary(value, signature="sv"))
            return False

        GLib.timeout_add(ANSWER_DELAY_MS, respond)
        return dbus.ObjectPath(path)

    def new_session(self, sender, options, kind):
        self.counter += 1
        token = str(options.get("session_handle_token", "s%d" % self.counter))
        path = "%s/session/%s/%s" % (PATH, sender_element(sender), token)
        self.sessions[path] = Session(self.bus, path, self, kind)
        return path

    def app_id(self, sender):
        return self.app_ids.get(str(sender), "")

    def offers(self, interface):
        return interface in self.config.get("interfaces", [REGISTRY, SHORTCUTS, SCREENSHOT, REMOTE])

    def refuse_unoffered(self, interface):
        if not self.offers(interface):
            raise dbus.exceptions.DBusException(
                "No such interface " + interface, name="org.freedesktop.DBus.Error.UnknownMethod")

    # --- control ---------------------------------------------------------------------------
    @dbus.service.method(CONTROL, in_signature="s")
    def Configure(self, settings):
        self.config.update(json.loads(settings))

    @dbus.service.method(CONTROL, out_signature="s")
    def Calls(self):
        return json.dumps(self.calls)

    @dbus.service.method(CONTROL, in_signature="sb")
    def Activate(self, shortcut_id, pressed):
        for session in list(self.sessions.values()):
            if session.kind == "shortcuts" and shortcut_id in [s[0] for s in session.bound]:
                signal = self.Activated if pressed else self.Deactivated
                signal(dbus.ObjectPath(session.path), shortcut_id, dbus.UInt64(1),
                       dbus.Dictionary({}, signature="sv"))

    @dbus.service.method(CONTROL)
    def CloseSessions(self):
        for path, session in list(self.sessions.items()):
            session.Closed(dbus.Dictionary({}, signature="sv"))
            session.remove_from_connection()
            del self.sessions[path]

    # --- registry --------------------------------------------------------------------------
    @dbus.service.method(REGISTRY, in_signature="sa{sv}", sender_keyword="sender")
    def Register(self, app_id, options, sender=None):
        self.note("Register", sender, app_id)
        if self.config.get("registry") == "missing":
            raise dbus.exceptions.DBusException(
                "No such method Register", name="org.freedesktop.DBus.Error.UnknownMethod")
        if any(call["sender"] == sender and call["method"] != "Register" for call in self.calls):
            raise dbus.exceptions.DBusException(
                "registered after a portal call", name="org.freedesktop.portal.Error.Failed")
        self.app_ids[str(sender)] = str(app_id)

    # --- properties ------------------------------------------------------------------------
    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if name != "version" or not self.offers(interface):
            raise dbus.exceptions.DBusException(
                "No such interface", name="org.freedesktop.DBus.Error.InvalidArgs")
        versions = {SHORTCUTS: 2, SCREENSHOT: 2, REMOTE: 2, REGISTRY: 1}
        return dbus.UInt32(self.config.get("version." + interface, versions[interface]))

    # --- global shortcuts ------------------------------------------------------------------
    @dbus.service.method(SHORTCUTS, in_signature="a{sv}", out_signature="o",
                         sender_keyword="sender")
    def CreateSession(self, options, sender=None):
        self.note("GlobalShortcuts.CreateSession", sender, options)
        self.refuse_unoffered(SHORTCUTS)
        if self.config.get("require_app_id") and not self.app_id(sender):
            raise dbus.exceptions.DBusException(
                "An app id is required", name="org.freedesktop.portal.Error.NotAllowed")
        path = self.new_session(sender, options, "shortcuts")
        return self.request(sender, options, "CreateSession",
                            {"session_handle": dbus.String(path)})

    def listed(self, session, sender):
        if self.config.get("lists_until_bound"):
            return session.bound
        return self.ever_bound.get(self.app_id(sender), [])

    @staticmethod
    def shortcut_results(shortcuts):
        return dbus.Array([dbus.Struct((sid, dbus.Dictionary(
            {"description": opts.get("description", ""),
             "trigger_description": opts.get("preferred_trigger", "")}, signature="sv")))
            for sid, opts in shortcuts], signature="(sa{sv})")

    @dbus.service.method(SHORTCUTS, in_signature="oa(sa{sv})sa{sv}", out_signature="o",
                         sender_keyword="sender")
    def BindShortcuts(self, session_handle, shortcuts, parent_window, options, sender=None):
        self.note("BindShortcuts", sender, session_handle, shortcuts)
        session = self.sessions[str(session_handle)]
        if session.bound:
            raise dbus.exceptions.DBusException(
                "bound once already", name="org.freedesktop.portal.Error.Failed")
        given = [(str(sid), plain(opts)) for sid, opts in shortcuts]

        def results():
            session.bound = given
            self.ever_bound[self.app_id(sender)] = given
            return {"shortcuts": self.shortcut_results(given)}
        if self.config.get("binds_on_error"):
            results()
        return self.request(sender, options, "BindShortcuts", results)

    @dbus.service.method(SHORTCUTS, in_signature="oa{sv}", out_signature="o",
                         sender_keyword="sender")
    def ListShortcuts(self, session_handle, options, sender=None):
        self.note("ListShortcuts", sender, session_handle)
        session = self.sessions[str(session_handle)]
        listed = self.listed(session, sender)
        if not session.bound:
            session.bound = list(listed)
        return self.request(sender, options, "ListShortcuts",
                            {"shortcuts": self.shortcut_results(listed)})

    @dbus.service.method(SHORTCUTS, in_signature="osa{sv}", sender_keyword="sender")
    def ConfigureShortcuts(self, session_handle, parent_window, options, sender=None):
        self.note("ConfigureShortcuts", sender, session_handle)

    @dbus.service.signal(SHORTCUTS, signature="osta{sv}")
    def Activated(self, session_handle, shortcut_id, timestamp, options):
        pass

    @dbus.service.signal(SHORTCUTS, signature="osta{sv}")
    def Deactivated(self, session_handle, shortcut_id, timestamp, options):
        pass

    # --- screenshot ------------------------------------------------------------------------
    @dbus.service.method(SCREENSHOT, in_signature="sa{sv}", out_signature="o",
                         sender_keyword="sender")
    def Screenshot(self, parent_window, options, sender=None):
        self.note("Screenshot", sender, options)
        self.refuse_unoffered(SCREENSHOT)
        return self.request(sender, options, "Screenshot",
                            {"uri": self.config.get("screenshot_uri", "")})

    # --- remote desktop --------------------------------------------------------------------
    @dbus.service.method(REMOTE, in_signature="oa{sv}", out_signature="o",
                         sender_keyword="sender")
    def SelectDevices(self, session_handle, options, sender=None):
        self.note("SelectDevices", sender, session_handle, options)
        return self.request(sender, options, "SelectDevices", {})

    @dbus.service.method(REMOTE, in_signature="osa{sv}", out_signature="o",
                         sender_keyword="sender")
    def Start(self, session_handle, parent_window, options, sender=None):
        self.note("Start", sender, session_handle)
        session = self.sessions[str(session_handle)]

        def results():
            session.started = True
            return {"devices": dbus.UInt32(self.config.get("devices", 1)),
                    "restore_token": self.config.get("restore_token", "token-1")}
        return self.request(sender, options, "Start", results)

    @dbus.service.method(REMOTE, in_signature="oa{sv}iu", sender_keyword="sender")
    def NotifyKeyboardKeysym(self, session_handle, options, keysym, state, sender=None):
        self.note("NotifyKeyboardKeysym", sender, int(keysym), int(state))
        if not self.sessions[str(session_handle)].started:
            raise dbus.exceptions.DBusException(
                "session not started", name="org.freedesktop.portal.Error.Failed")


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    portal = Portal(bus)
    name = dbus.service.BusName(BUS_NAME, bus, do_not_queue=True)
    print("ready", flush=True)
    loop = GLib.MainLoop()
    GLib.io_add_watch(sys.stdin, GLib.IO_HUP, lambda *_: loop.quit())
    loop.run()
    name.get_name()  # kept alive until here


if __name__ == "__main__":
    main()
