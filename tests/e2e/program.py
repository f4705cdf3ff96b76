"""The program under test: a portable copy started on the private desktop,
its windows and message boxes found through AT-SPI, and closed as a window
manager closes it."""

import ctypes
import os
import shutil
import subprocess

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

from accessible import Node, find, gone  # noqa: E402
from desktop import TIMEOUT, E2EError, ProgramExited, stop_processes, wait_for  # noqa: E402


# --------------------------------------------------------------------------
# WM_DELETE_WINDOW: what a window manager sends when its close box is clicked


def is_message_box(window):
    return (window.role in ("alert", "dialog") and window.showing
            and window.name != "Searching Files..")


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
        # Only a folder that no one else may write holds the program's files.
        os.chmod(folder, 0o755)
        if not os.path.exists(self.path):
            shutil.copy2(executable, self.path)
        self.process = None
        self.app = None
        self.runs = 0
        self.log_name = None
        self.folder_for_options = folder

    @property
    def options(self):
        return os.path.join(self.folder_for_options, "Options.ini")

    def start(self, *arguments, extra_env=None):
        self.runs += 1
        env = dict(self.desktop.env, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_XCB_GL_INTEGRATION="none",
                   **(extra_env or {}))
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
        """The message box showing now, waited for. The scan's progress
        window is no message box: at a start both may show."""
        return wait_for(lambda: next((w for w in self.windows() if is_message_box(w)), None),
                        "a message box")

    def no_message_box(self):
        return not any(is_message_box(w) for w in self.windows())

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
