"""A private desktop for end-to-end tests: an X server, a D-Bus session and
the accessibility bus, with the real program started on it, driven with real
X input (xdotool over XTEST) and read through AT-SPI, as a screen reader
reads it.

One Desktop per process: libatspi connects to one accessibility bus and
cannot be pointed at another one later.
"""

import ctypes
import ctypes.util
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time
import uuid

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

POLL = 0.03
# Waits end early once the condition holds; the limit only matters when a
# test fails, and leaves room for a loaded machine or a sanitizer build.
TIMEOUT = float(os.environ.get("QUORVANE_E2E_TIMEOUT", "20"))
SCREEN = (1280, 1024)
CALL_TIMEOUT_MS = 5000
MARKER_VARIABLE = "QUORVANE_E2E_SESSION"

_SESSION_BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


class E2EError(AssertionError):
    """A step that could not be done or a check that did not hold."""


def wait_for(condition, what, timeout=None):
    """Polls until condition() returns something true and returns it. AT-SPI
    errors while the window changes count as "not yet"."""
    deadline = time.monotonic() + (TIMEOUT if timeout is None else timeout)
    last_error = None
    context = GLib.MainContext.default()
    while True:
        while context.iteration(False):
            pass
        try:
            value = condition()
            if value:
                return value
        except ProgramExited:
            raise
        except (GLib.Error, E2EError, LookupError, ValueError) as error:
            last_error = error
        if time.monotonic() >= deadline:
            detail = " (last error: %s)" % last_error if last_error else ""
            raise E2EError("timed out waiting for %s%s" % (what, detail))
        time.sleep(POLL)


class ProgramExited(E2EError):
    pass


# --------------------------------------------------------------------------
# Processes

_libc = ctypes.CDLL(ctypes.util.find_library("c") or "libc.so.6", use_errno=True)
PR_SET_PDEATHSIG = 1
PR_SET_CHILD_SUBREAPER = 36


def _die_with_parent():
    # A test killed by its time limit takes its X server and buses with it.
    _libc.prctl(PR_SET_PDEATHSIG, signal.SIGKILL, 0, 0, 0)


def _alive(pid):
    try:
        with open("/proc/%d/stat" % pid) as stat:
            text = stat.read()
    except OSError:
        return False
    return text[text.rindex(")") + 2] not in "ZX"


def _marked_processes(marker):
    """Our processes, found by the marker in their environment: the
    accessibility registry is started by D-Bus and is no child of ours."""
    needle = ("%s=%s\0" % (MARKER_VARIABLE, marker)).encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        try:
            with open("/proc/%s/environ" % entry, "rb") as environ:
                if needle in environ.read() + b"\0":
                    found.append(int(entry))
        except OSError:
            continue
    return found


def _reap():
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            return


def stop_processes(pids, grace=3.0):
    for pid in pids:
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    deadline = time.monotonic() + grace
    while time.monotonic() < deadline:
        _reap()
        if not any(_alive(pid) for pid in pids):
            return
        time.sleep(POLL)
    for pid in pids:
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    _reap()


# --------------------------------------------------------------------------
# Accessible objects


class Node:
    """One accessible object of the program."""

    def __init__(self, accessible):
        self.acc = accessible

    @property
    def role(self):
        return (self.acc.get_role_name() or "").replace("_", " ")

    @property
    def name(self):
        return self.acc.get_name() or ""

    def _state(self, state):
        return self.acc.get_state_set().contains(state)

    showing = property(lambda self: self._state(Atspi.StateType.SHOWING))
    enabled = property(lambda self: self._state(Atspi.StateType.SENSITIVE))
    checked = property(lambda self: self._state(Atspi.StateType.CHECKED))
    selected = property(lambda self: self._state(Atspi.StateType.SELECTED))
    focused = property(lambda self: self._state(Atspi.StateType.FOCUSED))

    @property
    def text(self):
        """The contents of a text field, else the name."""
        if "Text" in (self.acc.get_interfaces() or []):
            return self.acc.get_text(0, -1) or ""
        return self.name

    @property
    def extents(self):
        box = self.acc.get_extents(Atspi.CoordType.SCREEN)
        return box.x, box.y, box.width, box.height

    @property
    def labels(self):
        names = []
        for relation in self.acc.get_relation_set() or []:
            if relation.get_relation_type() == Atspi.RelationType.LABELLED_BY:
                for i in range(relation.get_n_targets()):
                    names.append(relation.get_target(i).get_name() or "")
        return names

    def children(self):
        kids = (self.acc.get_child_at_index(i) for i in range(self.acc.get_child_count()))
        return [Node(kid) for kid in kids if kid is not None]

    def action(self, name, opens_box=False):
        """Runs an AT-SPI action, as an assistive tool does ("Press", "Toggle").

        A tool button runs its command inside the call, so when the command
        shows a message box the reply comes only once the box is closed;
        with opens_box the call gives up waiting for it early."""
        count = self.acc.get_n_actions() if "Action" in (self.acc.get_interfaces() or []) else 0
        names = [self.acc.get_action_name(i) for i in range(count)]
        if name not in names:
            raise E2EError("%r offers no action %r, only %s" % (self, name, names))
        if opens_box:
            Atspi.set_timeout(500, 0)
        try:
            self.acc.do_action(names.index(name))
        except GLib.Error as error:
            if not (opens_box and "reply" in str(error)):
                raise
        finally:
            Atspi.set_timeout(CALL_TIMEOUT_MS, 0)

    def center(self):
        x, y, width, height = self.extents
        if width <= 0 or height <= 0:
            raise E2EError("%r has no area on the screen" % self)
        return x + width // 2, y + height // 2

    def __repr__(self):
        try:
            return "<%s %r>" % (self.role, self.name)
        except GLib.Error:
            return "<gone>"


def gone(node):
    """True once an object is no longer on the screen (or no longer exists)."""
    try:
        states = node.acc.get_state_set()
        return states.contains(Atspi.StateType.DEFUNCT) or not states.contains(
            Atspi.StateType.SHOWING)
    except GLib.Error:
        return True


def walk(root, showing=True):
    """The objects below root, breadth first, without the cells of lists,
    tables and trees: there can be thousands (Table reads those)."""
    queue = list(root.children())
    while queue:
        node = queue.pop(0)
        try:
            if showing and not node.showing:
                continue
            yield node
            if node.role not in ("table", "tree", "list", "tree table"):
                queue.extend(node.children())
        except GLib.Error:
            continue


def find_all(root, role, name=None, showing=True):
    def named(node):
        return name is None or node.name == name or name in node.labels

    return [n for n in walk(root, showing) if n.role == role and named(n)]


def find(root, role, name=None, showing=True, timeout=None):
    """The single object of that role and name (or buddy label), waited for."""

    def single():
        hits = find_all(root, role, name, showing)
        if len(hits) > 1:
            raise E2EError("%d objects match %s %r: %s" % (len(hits), role, name, hits))
        return hits[0] if hits else None

    return wait_for(single, "%s %r" % (role, name), timeout)


class Table:
    """A list or tree read through the AT-SPI Table interface."""

    def __init__(self, node):
        self.node = node
        self.acc = node.acc

    @property
    def rows(self):
        return self.acc.get_n_rows()

    def cell(self, row, column):
        return Node(self.acc.get_accessible_at(row, column))

    def column(self, column):
        return [self.cell(row, column).name for row in range(self.rows)]

    def header(self):
        return [c.name for c in self.node.children() if c.role == "table column header"]


# --------------------------------------------------------------------------
# The desktop


class Desktop:
    def __init__(self, root):
        self.root = root
        self.marker = uuid.uuid4().hex
        self.display = None
        self.env = {}
        self._processes = []

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *error):
        self.stop()

    def start(self):
        _libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)
        runtime = os.path.join(self.root, "runtime")
        os.makedirs(runtime, mode=0o700)
        home = os.path.join(self.root, "home")
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "LANG": "C.UTF-8",
            "HOME": home,
            "XDG_RUNTIME_DIR": runtime,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "TMPDIR": os.environ.get("TMPDIR", "/tmp"),
            MARKER_VARIABLE: self.marker,
        }
        # A sanitizer build reads its options (suppressions) from here.
        for key in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"):
            if key in os.environ:
                self.env[key] = os.environ[key]
        os.makedirs(self.env["XDG_CONFIG_HOME"])
        self._start_x()
        self._start_session_bus()
        self._start_accessibility_bus()

    def spawn(self, name, argv, env=None, cwd=None, **options):
        log = open(os.path.join(self.root, name + ".log"), "ab")
        process = subprocess.Popen(argv, env=env or self.env, cwd=cwd, stdin=subprocess.DEVNULL,
                                   stdout=log, stderr=subprocess.STDOUT, start_new_session=True,
                                   preexec_fn=_die_with_parent, **options)
        log.close()
        self._processes.append(process)
        return process

    def _start_x(self):
        # The server picks a free display itself, so tests may run side by side.
        read_end, write_end = os.pipe()
        size = "%dx%dx24" % SCREEN
        server = self.spawn("xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0", size,
                                     "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,))
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + TIMEOUT
        try:
            while not number.endswith(b"\n"):
                if server.poll() is not None or time.monotonic() > deadline:
                    raise E2EError("Xvfb did not start: " + self.log_tail("xvfb"))
                if select.select([read_end], [], [], 0.2)[0]:
                    number += os.read(read_end, 16)
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()
        self.env["DISPLAY"] = self.display

    def _start_session_bus(self):
        socket = os.path.join(self.root, "session-bus")
        config = os.path.join(self.root, "session-bus.conf")
        with open(config, "w") as out:
            out.write(_SESSION_BUS_CONFIG.format(socket=socket))
        self.spawn("dbus", ["dbus-daemon", "--config-file=" + config, "--nofork", "--nopidfile"])
        self.env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + socket
        self.bus = wait_for(lambda: os.path.exists(socket) and self._connect(socket),
                            "the session bus")

    @staticmethod
    def _connect(socket):
        flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
                 | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
        return Gio.DBusConnection.new_for_address_sync("unix:path=" + socket, flags, None, None)

    def _call(self, service, path, interface, method, args, reply):
        return self.bus.call_sync(service, path, interface, method, args, GLib.VariantType(reply),
                                  Gio.DBusCallFlags.NONE, 3000, None).unpack()

    def _start_accessibility_bus(self):
        launcher = next((p for p in ("/usr/libexec/at-spi-bus-launcher",
                                     "/usr/lib/at-spi2-core/at-spi-bus-launcher")
                         if os.access(p, os.X_OK)), None)
        if launcher is None:
            raise E2EError("at-spi-bus-launcher is missing (package at-spi2-core)")
        self.spawn("atspi", [launcher, "--launch-immediately", "--a11y=1"])
        # Asking org.a11y.Bus before the launcher owns it would start a
        # second launcher through D-Bus activation.
        wait_for(lambda: self._call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                    "org.freedesktop.DBus", "NameHasOwner",
                                    GLib.Variant("(s)", ("org.a11y.Bus",)), "(b)")[0],
                 "the accessibility bus launcher")
        address = self._call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                             "(s)")[0]
        # Only this process gets the bus address: a program that finds
        # AT_SPI_BUS_ADDRESS in its environment connects but never registers.
        # Programs find the bus through org.a11y.Bus on the session bus.
        for key in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"):
            os.environ[key] = self.env[key]
        os.environ["AT_SPI_BUS_ADDRESS"] = address
        Atspi.init()
        # No grace period after a program's start: a call into a modal
        # dialog would otherwise block for 15 s.
        Atspi.set_timeout(CALL_TIMEOUT_MS, 0)
        wait_for(lambda: Atspi.get_desktop(0).get_child_count() >= 0, "the accessibility registry")

    def stop(self):
        pids = [p.pid for p in reversed(self._processes) if p.poll() is None]
        stop_processes(pids + _marked_processes(self.marker))
        left = [pid for pid in _marked_processes(self.marker) if _alive(pid)]
        if left:
            stop_processes(left, grace=1)
        self._processes = []

    def log_tail(self, name, size=3000):
        try:
            with open(os.path.join(self.root, name + ".log"), "rb") as log:
                return log.read()[-size:].decode("utf-8", "replace")
        except OSError:
            return ""

    # -- X input and pictures -------------------------------------------------
    def tool(self, *argv, check=True):
        result = subprocess.run([str(a) for a in argv], env=self.env, capture_output=True,
                                text=True, timeout=30)
        if check and result.returncode != 0:
            raise E2EError("%s failed: %s" % (" ".join(map(str, argv)), result.stderr.strip()))
        return result.stdout

    def xdotool(self, *args, check=True):
        return self.tool("xdotool", *args, check=check)

    def click(self, x, y, button=1):
        # Without --sync: it waits about 15 s when the pointer is there already.
        self.xdotool("mousemove", x, y, "click", button)

    def park_pointer(self):
        """Pointer into the empty corner, away from every window, so that
        no enter or leave event reaches the program by chance."""
        self.xdotool("mousemove", SCREEN[0] - 1, SCREEN[1] - 1)

    def keys(self, *keys):
        self.xdotool("key", "--clearmodifiers", *keys)

    def type(self, text):
        self.xdotool("type", "--clearmodifiers", "--delay", 15, text)

    def screenshot(self, path):
        self.tool("import", "-display", self.display, "-window", "root", "png:" + path)


# --------------------------------------------------------------------------
# WM_DELETE_WINDOW: what a window manager sends when its close box is clicked


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


def send_close_request(display, window):
    xlib = ctypes.CDLL("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                ctypes.POINTER(_XEvent)]
    xlib.XFlush.argtypes = [ctypes.c_void_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    connection = xlib.XOpenDisplay(display.encode())
    if not connection:
        raise E2EError("cannot open display " + display)
    try:
        event = _XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window
        event.xclient.message_type = xlib.XInternAtom(connection, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = xlib.XInternAtom(connection, b"WM_DELETE_WINDOW", 0)
        xlib.XSendEvent(connection, window, 0, 0, ctypes.byref(event))
        xlib.XFlush(connection)
    finally:
        xlib.XCloseDisplay(connection)


# --------------------------------------------------------------------------
# The program


class Program:
    """A portable copy of the program in its own folder, so that Options.ini
    and Log.txt land beside it."""

    def __init__(self, desktop, executable, folder):
        self.desktop = desktop
        self.folder = folder
        self.path = os.path.join(folder, os.path.basename(executable))
        os.makedirs(folder, exist_ok=True)
        if not os.path.exists(self.path):
            shutil.copy2(executable, self.path)
        self.process = None
        self.app = None
        self.runs = 0
        self.log_name = None

    @property
    def options(self):
        return os.path.join(self.folder, "Options.ini")

    def start(self, *arguments):
        self.runs += 1
        env = dict(self.desktop.env, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_XCB_GL_INTEGRATION="none")
        self.log_name = "program-%d" % self.runs
        self.process = self.desktop.spawn(self.log_name, [self.path, *arguments], env=env,
                                         cwd=self.folder)
        self.app = wait_for(self._registered, "the program to register with AT-SPI")
        wait_for(lambda: self.window("Quorvane"), "the main window to show")
        return self

    def _registered(self):
        self.check_running()
        registry = Atspi.get_desktop(0)
        for i in range(registry.get_child_count()):
            child = registry.get_child_at_index(i)
            if child is not None and child.get_process_id() == self.process.pid:
                return Node(child)
        return None

    def check_running(self):
        if self.process.poll() is not None:
            raise ProgramExited("the program exited with %s:\n%s" % (
                self.process.returncode, self.log()))

    def log(self):
        return self.desktop.log_tail(self.log_name) if self.log_name else ""

    def windows(self):
        self.check_running()
        return self.app.children()

    def window(self, title):
        """A showing top-level window by its title (the main window, a panel)."""
        for node in self.windows():
            if node.name == title and node.role == "frame" and node.showing:
                return node
        return None

    @property
    def main(self):
        return wait_for(lambda: self.window("Quorvane"), "the main window")

    def message_box(self):
        """The message box showing now, waited for."""
        return wait_for(lambda: next((w for w in self.windows()
                                      if w.role in ("alert", "dialog") and w.showing), None),
                        "a message box")

    def no_message_box(self):
        return not any(w.role in ("alert", "dialog") and w.showing for w in self.windows())

    def answer(self, box, button):
        """Presses a button of a message box through AT-SPI and waits until
        the box is gone."""
        find(box, "push button", button).action("Press")
        wait_for(lambda: gone(box), "the message box to close")

    def x_window(self, title="Quorvane"):
        found = self.desktop.xdotool("search", "--onlyvisible", "--name", "^%s$" % title,
                                     check=False).split()
        if not found:
            raise E2EError("no X window titled %r" % title)
        return int(found[0])

    def focus_window(self, title="Quorvane"):
        """X input focus to a window: with no window manager nobody else gives it."""
        self.desktop.xdotool("windowfocus", "--sync", self.x_window(title))

    def close(self):
        """Closes the main window as a window manager would and returns the
        exit status."""
        send_close_request(self.desktop.display, self.x_window())
        try:
            return self.process.wait(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            raise E2EError("the program did not end after its window was closed")

    def kill(self):
        if self.process is not None and self.process.poll() is None:
            stop_processes([self.process.pid], grace=1)

    def dump(self):
        """The accessibility tree as text, for a failed test's folder."""
        lines = []

        def visit(node, depth):
            try:
                flags = [s for s in ("showing", "checked", "focused") if getattr(node, s)]
                if not node.enabled:
                    flags.append("disabled")
                text = ""
                if "Text" in (node.acc.get_interfaces() or []) and node.role != "label":
                    text = " text=%r" % node.text
                lines.append("%s[%s] %r%s {%s}" % ("  " * depth, node.role, node.name, text,
                                                   ",".join(flags)))
                children = node.children()
            except GLib.Error as error:
                lines.append("%s<gone: %s>" % ("  " * depth, error))
                return
            for i, child in enumerate(children):
                if i == 80:
                    lines.append("%s... %d more" % ("  " * (depth + 1), len(children) - i))
                    break
                visit(child, depth + 1)

        for window in self.app.children() if self.app else []:
            visit(window, 0)
        return "\n".join(lines)


def temporary_root():
    return tempfile.mkdtemp(prefix="quorvane-e2e-")
