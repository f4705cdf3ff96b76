"""A private desktop for end-to-end tests: an X server, a D-Bus session and
the accessibility bus, with the real program started on it, driven with real
X input (xdotool over XTEST) and read through AT-SPI, as a screen reader
reads it.

One Desktop per process: libatspi connects to one accessibility bus and
cannot be pointed at another one later. program.py starts the program on it;
accessible.py reads its window.
"""

import ctypes
import ctypes.util
import os
import select
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


def temporary_root():
    return tempfile.mkdtemp(prefix="quorvane-e2e-")
