"""The window under a real window manager (openbox): the File Renaming Panel
floats above the main window at the start, after a click in the list, and
after the main window was minimised and restored or raised. The stacking is
the window manager's own (_NET_CLIENT_LIST_STACKING); the page tabs are read
through AT-SPI."""

import shutil

from accessible import find_all
from desktop import E2EError, wait_for
from session import ALL_FILES, check

PANEL = "File Renaming Panel"
PAGE_TABS = ["Case/Extension", "Insert", "Delete", "Replace", "Attributes", "Enumeration",
             "Date/Time"]


def _stacking(s):
    """The managed windows from the bottom to the top."""
    out = s.desktop.tool("xprop", "-root", "_NET_CLIENT_LIST_STACKING", check=False)
    if "#" not in out:
        return []
    return [int(w, 16) for w in out.split("#", 1)[1].replace(",", " ").split()]


def _start_window_manager(s):
    check(shutil.which("openbox") is not None, "openbox is not installed (scripts/install-deps.sh)")
    s.desktop.spawn("openbox", ["openbox"])
    wait_for(lambda: "window id" in s.desktop.tool("xprop", "-root", "_NET_SUPPORTING_WM_CHECK",
                                                   check=False), "openbox to manage the screen")


def _panel_above(s, when):
    def above():
        order = _stacking(s)
        main, panel = s.program.x_window(), s.program.x_window(PANEL)
        if main not in order or panel not in order:
            return False
        return order.index(panel) > order.index(main)

    wait_for(above, "the panel above the main window %s (stacking %s)" % (when, _stacking(s)))
    panel = s.panel(PANEL)
    tabs = [t.name for t in find_all(panel, "page tab") if t.showing]
    check(tabs == PAGE_TABS, "the page tabs show %s: %s" % (when, tabs))


def _point_outside(node, covering):
    """A point inside node's area that covering's area leaves free."""
    x, y, width, height = node.extents
    cx, cy, cw, ch = covering.extents
    for px, py in ((x + 12, y + height - 12), (x + width - 12, y + height - 12),
                   (x + 12, y + 40), (x + width - 12, y + 40)):
        if not (cx <= px < cx + cw and cy <= py < cy + ch):
            return px, py
    raise E2EError("the panel covers the whole list")


def panel_above_under_window_manager(s):
    _start_window_manager(s)
    s.start(s.files)
    s.wait_listed(ALL_FILES, "the folder's files")
    _panel_above(s, "at the start")

    table = find_all(s.main, "table", "Renaming file list")[0]
    s.desktop.click(*_point_outside(table, s.panel(PANEL)))
    wait_for(lambda: s.program.x_window() == int(
        s.desktop.xdotool("getactivewindow", check=False).strip() or 0),
        "the main window to become the active one")
    _panel_above(s, "after a click in the list")

    main = s.program.x_window()
    s.desktop.xdotool("windowminimize", main)
    wait_for(lambda: main not in _onlyvisible(s), "the main window to be minimised")
    s.desktop.xdotool("windowactivate", main)
    _panel_above(s, "after the main window was restored")

    s.desktop.xdotool("windowraise", main)
    _panel_above(s, "after the main window was raised")


def _onlyvisible(s):
    out = s.desktop.xdotool("search", "--onlyvisible", "--name", "^Quorvane$", check=False)
    return [int(w) for w in out.split()]
