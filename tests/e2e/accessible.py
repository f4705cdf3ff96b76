"""The program's window as AT-SPI shows it: accessible objects, finding
them by role and name, and lists and trees read as tables."""

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

from desktop import CALL_TIMEOUT_MS, E2EError, wait_for  # noqa: E402


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
