"""What every window test shares: the checks, the files a test starts with,
and a Session that holds one test's desktop, program copy and files."""

import os
import shutil

import program as p
from accessible import Table, find, find_all
from desktop import E2EError, wait_for

ALL_FILES = ["alpha.txt", "beta.TXT", "gamma.log"]
SUMMARY_OK = "All the selected files have been processed successfully!"
# Panels placed below the main window, so that no floating panel covers the
# list or the tree that a test clicks.
PANELS_OUT_OF_THE_WAY = {"RenamePanel": {"Left": 20, "Top": 570},
                         "MP3Panel": {"Left": 660, "Top": 570}}


def check(condition, message):
    if not condition:
        raise E2EError(message)


def equal(actual, expected, what):
    check(actual == expected, "%s: expected %r, got %r" % (what, expected, actual))


def wait_equal(read, expected, what, timeout=None):
    """Waits until read() gives expected; the failure names the last value."""
    seen = []

    def matches():
        seen[:] = [read()]
        return seen[0] == expected

    try:
        wait_for(matches, what, timeout)
    except E2EError as error:
        last = seen[0] if seen else None
        raise E2EError("%s; expected %r, last read %r" % (error, expected, last)) from None


class Session:
    """One test's desktop, program copy and files."""

    def __init__(self, desktop, executable, root):
        self.desktop = desktop
        self.root = root
        self.files = os.path.join(root, "work", "files")
        os.makedirs(self.files)
        for name in ALL_FILES:
            with open(os.path.join(self.files, name), "w") as out:
                out.write(name)
        self.program = p.Program(desktop, executable, os.path.join(root, "program"))

    # -- settings file ---------------------------------------------------------
    def write_options(self, sections):
        with open(self.program.options, "w") as out:
            for section, keys in sections.items():
                out.write("[%s]\n" % section)
                for key, value in keys.items():
                    out.write("%s=%s\n" % (key, value))

    def read_options(self):
        """{(section, key): value} with names in lower case, as the program
        matches them."""
        values, section = {}, ""
        with open(self.program.options, encoding="utf-8") as ini:
            for line in ini.read().replace("\r", "").split("\n"):
                if line.startswith("["):
                    section = line.strip("[]").lower()
                elif "=" in line:
                    key, value = line.split("=", 1)
                    values[(section, key.strip().lower())] = value
        return values

    # -- the window --------------------------------------------------------------
    def start(self, *arguments, extra_env=None):
        self.program.start(*arguments, extra_env=extra_env)
        self.desktop.park_pointer()
        return self.program.main

    @property
    def main(self):
        return self.program.main

    def panel(self, title):
        return wait_for(lambda: self.program.window(title), "the panel %r to show" % title)

    def file_list(self):
        return Table(find(self.main, "table", "Renaming file list"))

    def listed(self, column=0):
        return sorted(self.file_list().column(column))

    def wait_listed(self, names, what):
        wait_equal(self.listed, sorted(names), what)

    def tool_button(self, name, bar="Operate"):
        return find(find(self.main, "tool bar", bar), "push button", name)

    def toggle_button(self, name):
        return find(find(self.main, "tool bar", "Operate"), "check box", name)

    def status_panels(self):
        bar = find(self.main, "status bar")
        return [n.name for n in bar.children() if n.role == "label"]

    def combo_text(self, label):
        combo = find(self.main, "combo box", label)
        return next(c for c in combo.children() if c.role == "text")

    def combo_items(self, label):
        combo = find(self.main, "combo box", label)
        items = next(c for c in combo.children() if c.role == "list")
        return [i.name for i in items.children()]

    # -- real input --------------------------------------------------------------
    def click(self, node):
        self.desktop.click(*node.center())

    def type_into(self, field, text, window="Quorvane"):
        """Clicks into a text field and types over its text, then checks
        that the field shows what was typed."""
        self.program.focus_window(window)
        self.click(field)
        wait_for(lambda: field.focused, "the focus in %r" % field)
        self.desktop.keys("ctrl+a", "BackSpace")
        if text:
            self.desktop.type(text)
        wait_equal(lambda: field.text, text, "the typed text in %r" % field)

    def press_keys(self, *keys, window="Quorvane"):
        self.program.focus_window(window)
        self.desktop.keys(*keys)

    def finish(self):
        """A program still running is closed the ordinary way; it must end
        cleanly (a sanitizer build reports leaks and errors by its status)."""
        process = self.program.process
        if process is not None and process.poll() is None:
            check(self.program.no_message_box(), "no message box is left open")
            equal(self.program.close(), 0, "exit status")

    def save_evidence(self, folder):
        os.makedirs(folder, exist_ok=True)
        try:
            self.desktop.screenshot(os.path.join(folder, "screen.png"))
        except (E2EError, OSError) as error:
            print("no screenshot: %s" % error)
        program = self.program
        if program.process is not None and program.process.poll() is None:
            try:
                with open(os.path.join(folder, "tree.txt"), "w") as out:
                    out.write(program.dump())
            except Exception as error:  # the tree is a help, not the result
                print("no tree: %s" % error)
        for name in os.listdir(self.desktop.root):
            if name.endswith(".log"):
                shutil.copy(os.path.join(self.desktop.root, name), folder)
        if os.path.exists(program.options):
            shutil.copy(program.options, folder)


def make_folder(s, name, contents):
    """A folder of its own beside the usual files, {file name: contents}."""
    folder = os.path.join(s.root, "work", name)
    os.makedirs(folder)
    for file_name, text in contents.items():
        with open(os.path.join(folder, file_name), "w") as out:
            out.write(text)
    return folder


def folder_contents(folder):
    found = {}
    for name in os.listdir(folder):
        with open(os.path.join(folder, name)) as file:
            found[name] = file.read()
    return found


def box_text(box):
    return "\n".join(n.name for n in find_all(box, "label"))
