#!/usr/bin/python3
"""End-to-end tests of the real window: each one starts the built program on a
private X display, types and clicks with real X events and reads the window
through AT-SPI, as a screen reader does.

    window_test.py --program build/quorvane --out DIR TEST [TEST ...]
    window_test.py --list

On failure the test's folder receives a screenshot, the accessibility tree
and the program's output.
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop as d  # noqa: E402
from desktop import E2EError, Table, find, find_all, gone, wait_for  # noqa: E402

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
        self.program = d.Program(desktop, executable, os.path.join(root, "program"))

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
    def start(self, *arguments):
        self.program.start(*arguments)
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


# ------------------------------------------------------------------------------
# The tests


def first_start(s):
    """No settings file: the built-in state, and the file written at the end
    lands beside the program."""
    main = s.start()
    equal(main.extents, (100, 36, 660, 500), "main window bounds")
    panel = s.panel("File Renaming Panel")
    check(s.program.window("MP3 Tag Renaming Panel") is None, "the MP3 panel is hidden")
    check(s.toggle_button("Rename File(s)").checked, "Rename File(s) is pressed")
    check(not s.toggle_button("Rename MP3").checked, "Rename MP3 is released")
    equal(s.combo_text("Path:   ").text, "", "path box")
    equal(s.combo_text("Filter:   ").text, "*.*", "filter box")
    check(not find(main, "check box", "Include Subfolders").checked, "Include Subfolders")
    for name in ("Preview", "Apply", "Undo"):
        check(not s.tool_button(name).enabled, name + " is unavailable")
    check(s.tool_button("Refresh").enabled, "Refresh is available")
    equal(s.file_list().rows, 0, "rows listed")
    equal(s.file_list().header()[:2], ["Original Name", "New Name"], "list header")
    equal(find(panel, "page tab list").name, "Case/Extension", "current page")
    equal([r.name for r in find_all(panel, "radio button") if r.checked],
          ["keep as is", "keep as is"], "case choices")
    replace = find(panel, "radio button", "Replace with", showing=False)
    every = find(panel, "check box", "All occurrences  ", showing=False)
    check(replace.checked and not every.checked, "Replace with chosen, All occurrences not ticked")

    equal(s.program.close(), 0, "exit status")
    options = s.read_options()
    for key, value in (("left", "100"), ("top", "36"), ("width", "660"), ("height", "500")):
        equal(options.get(("main", key)), value, "stored " + key)
    check(not os.path.exists(os.path.join(s.program.folder, "Log.txt")), "no Log.txt")
    check(not os.path.exists(os.path.join(s.desktop.env["XDG_CONFIG_HOME"], "Quorvane")),
          "nothing written to the user's configuration folder")


def path_and_enter(s):
    """A folder typed into the path box with key presses and Enter lists its
    files; a path that names no folder changes nothing."""
    main = s.start()
    path = s.combo_text("Path:   ")
    s.type_into(path, s.files)
    s.press_keys("Return")
    s.wait_listed(ALL_FILES, "the typed folder's files")
    wait_equal(lambda: s.status_panels()[:2], ["Total files : 3", "Selectd files : 0"],
               "the status panels")
    check(s.files in s.combo_items("Path:   "), "the folder joined the path box's list")
    check(s.tool_button("Preview").enabled, "Preview is available after the scan")
    tree = Table(find(main, "tree", "Folder Tree"))
    wait_for(lambda: any(tree.cell(r, 0).name == "files" and tree.cell(r, 0).selected
                         for r in range(tree.rows)), "the tree to select the typed folder")

    s.type_into(path, s.files + "-missing")
    s.press_keys("Return")
    # Keys are handled in order: once the next one shows, Enter has been
    # handled, and a message box would have taken the key instead.
    s.desktop.type("/")
    wait_equal(lambda: path.text, s.files + "-missing/", "the key after Enter")
    check(s.program.no_message_box(), "no message for a missing folder")
    equal(s.listed(), sorted(ALL_FILES), "the list after a missing folder")
    check(not [i for i in s.combo_items("Path:   ") if "-missing" in i], "missing folder not kept")


def filter_and_enter(s):
    """A pattern typed into the filter box and Enter rescans with it; Enter
    on an empty box goes back to "*.*"."""
    s.write_options({"Main": {"Favorite": s.files}})
    s.start()
    s.wait_listed(ALL_FILES, "the restored folder's files")
    field = s.combo_text("Filter:   ")
    s.type_into(field, "*.TXT")
    s.press_keys("Return")
    s.wait_listed(["alpha.txt", "beta.TXT"], "only the .txt files")
    s.type_into(field, "*.log")
    s.press_keys("Return")
    s.wait_listed(["gamma.log"], "only the .log file")
    check("*.log" in s.combo_items("Filter:   "), "the new pattern joined the filter list")
    s.type_into(field, "")
    s.press_keys("Return")
    wait_equal(lambda: field.text, "*.*", "the filter box after Enter on empty text")
    s.wait_listed(ALL_FILES, "every file again")


def tree_click(s):
    """A click on a folder in the folder tree lists that folder."""
    other = os.path.join(os.path.dirname(s.files), "other")
    os.makedirs(other)
    for name in ("one.txt", "two.txt"):
        open(os.path.join(other, name), "w").close()
    s.write_options(dict(PANELS_OUT_OF_THE_WAY, Main={"Favorite": s.files}))
    main = s.start()
    s.wait_listed(ALL_FILES, "the restored folder's files")
    tree_node = find(main, "tree", "Folder Tree")
    tree = Table(tree_node)

    def target_cell():
        for row in range(tree.rows):
            cell = tree.cell(row, 0)
            if cell.name == "other":
                return cell
        return None

    cell = wait_for(target_cell, "the sibling folder in the tree")
    # Scroll with the wheel, as a user would, until the folder is in view.
    tx, ty, tw, th = tree_node.extents
    for _ in range(40):
        before = cell.extents
        x, y, w, h = before
        if ty + 20 <= y and y + h <= ty + th - 20:
            break
        s.desktop.xdotool("mousemove", tx + tw // 2, ty + th // 2, "click",
                          "4" if y < ty + 20 else "5")
        wait_for(lambda: cell.extents != before, "the tree to scroll")
    x, y, w, h = cell.extents
    check(ty <= y and y + h <= ty + th, "the folder %r is in view" % cell.name)
    s.desktop.click(x + min(w // 2, 20), y + h // 2)
    s.wait_listed(["one.txt", "two.txt"], "the clicked folder's files")
    wait_equal(lambda: s.combo_text("Path:   ").text, other + "/", "the path box")


def preview_apply_undo(s):
    """Preview, Apply and Undo pressed as an assistive tool presses them,
    the summary boxes answered the same way: the availability of the
    commands follows at once, without any key or mouse event."""
    s.write_options({"Main": {"Favorite": s.files}, "Case": {"MFRB1": 0, "MFRB3": 1}})
    s.start()
    s.wait_listed(ALL_FILES, "the restored folder's files")
    preview, apply, undo = (s.tool_button(n) for n in ("Preview", "Apply", "Undo"))
    wait_for(lambda: preview.enabled, "Preview to be available")
    check(not apply.enabled and not undo.enabled, "Apply and Undo wait for a preview")

    preview.action("Press")
    upper = ["ALPHA.txt", "BETA.TXT", "GAMMA.log"]
    wait_equal(lambda: s.listed(1), upper, "the new names")
    wait_for(lambda: apply.enabled, "Apply to be available after Preview")

    apply.action("Press", opens_box=True)
    box = s.program.message_box()
    check(SUMMARY_OK in [n.name for n in find_all(box, "label")], "the summary names success")
    s.program.answer(box, "OK")
    wait_for(lambda: undo.enabled, "Undo to be available at once", timeout=5)
    check(not apply.enabled and not preview.enabled, "Preview and Apply wait for a new scan")
    equal(sorted(os.listdir(s.files)), sorted(upper), "the files on disk after Apply")
    equal(s.file_list().header()[:2], ["New Name", "Original Name"], "header after Apply")
    equal(s.listed(0), sorted(upper), "the first column after Apply")

    undo.action("Press", opens_box=True)
    box = s.program.message_box()
    check(SUMMARY_OK in [n.name for n in find_all(box, "label")], "the undo summary")
    s.program.answer(box, "OK")
    s.wait_listed(ALL_FILES, "the old names, rescanned")
    equal(sorted(os.listdir(s.files)), sorted(ALL_FILES), "the files on disk after Undo")
    equal(s.file_list().header()[:2], ["Original Name", "New Name"], "header after Undo")
    wait_for(lambda: not undo.enabled and preview.enabled, "Undo gone, Preview back")
    check(not apply.enabled, "Apply waits for a new preview")
    log = os.path.join(s.program.folder, "Log.txt")
    check(os.path.exists(log) and os.path.getsize(log) == 0, "an empty Log.txt after clean runs")


def chain_and_conflict(s):
    """Preview marks a name that is taken by a file outside the batch and
    counts it; Apply renames a chain listed front first (alpha.txt becomes
    xalpha.txt, whose file moves on first) and leaves the taken name alone."""
    with open(os.path.join(s.files, "xalpha.txt"), "w") as out:
        out.write("xalpha.txt")
    os.mkdir(os.path.join(s.files, "xgamma.log"))  # not listed, so it stays
    s.write_options({"Main": {"Favorite": s.files}, "RenamePanel": {"ActiveIndex": 1},
                     "Insert": {"InsertStr": "x", "index": 1}})
    s.start()
    s.wait_listed(ALL_FILES + ["xalpha.txt"], "the restored folder's files")
    preview, apply = (s.tool_button(n) for n in ("Preview", "Apply"))
    wait_for(lambda: preview.enabled, "Preview to be available")
    preview.action("Press")
    wait_for(lambda: "Conflicts : 1" in s.status_panels(), "the conflict count")

    table = s.file_list()
    names = table.column(0)
    row = names.index("gamma.log")
    wait_equal(lambda: table.cell(row, 1).acc.get_description(), "Exists: xgamma.log",
               "the description of the taken name")
    for other in range(table.rows):
        if other != row:
            equal(table.cell(other, 1).acc.get_description() or "", "", "no conflict on %r"
                  % names[other])

    wait_for(lambda: apply.enabled, "Apply to be available after Preview")
    apply.action("Press", opens_box=True)
    box = s.program.message_box()
    labels = " ".join(n.name for n in find_all(box, "label"))
    check("Files can not be renamed : 1" in labels, "the summary counts one failure: %r" % labels)
    s.program.answer(box, "Cancel")
    equal(sorted(os.listdir(s.files)),
          sorted(["xalpha.txt", "xxalpha.txt", "xbeta.TXT", "gamma.log", "xgamma.log"]),
          "the files on disk after Apply")
    with open(os.path.join(s.files, "xxalpha.txt")) as moved:
        equal(moved.read(), "xalpha.txt", "the file at the chain's end")


def delete_to_trash(s):
    """The Delete key in the list asks first; No keeps the file, Yes moves
    it to the user's trash and rescans."""
    s.write_options(dict(PANELS_OUT_OF_THE_WAY, Main={"Favorite": s.files}))
    s.start()
    s.wait_listed(ALL_FILES, "the restored folder's files")
    table = s.file_list()
    row = next(r for r in range(table.rows) if table.cell(r, 0).name == "alpha.txt")
    s.program.focus_window()
    s.click(table.cell(row, 0))
    wait_for(lambda: table.cell(row, 0).selected, "the clicked row to be selected")
    wait_equal(lambda: s.status_panels()[1], "Selectd files : 1", "the selection count")

    for answer in ("No", "Yes"):
        s.press_keys("Delete")
        box = s.program.message_box()
        check("Are you sure to delete selected file(s)?" in [n.name for n in find_all(box, "label")],
              "the question")
        s.program.answer(box, answer)
        if answer == "No":
            equal(sorted(os.listdir(s.files)), sorted(ALL_FILES), "the files after No")
            equal(s.listed(), sorted(ALL_FILES), "the list after No")
    s.wait_listed(["beta.TXT", "gamma.log"], "the list rescanned after Yes")
    equal(sorted(os.listdir(s.files)), ["beta.TXT", "gamma.log"], "the folder after Yes")
    trash = os.path.join(s.desktop.env["XDG_DATA_HOME"], "Trash")
    equal(os.listdir(os.path.join(trash, "files")), ["alpha.txt"], "the trash")
    with open(os.path.join(trash, "info", "alpha.txt.trashinfo")) as info:
        check("Path=%s\n" % os.path.join(s.files, "alpha.txt") in info.read(),
              "the trash knows where the file came from")


def panel_buttons(s):
    """"Rename MP3" and "Rename File(s)" clicked with the mouse switch the
    panels and the filter; the MP3 panel opens where it was stored."""
    s.write_options(PANELS_OUT_OF_THE_WAY)
    s.start()
    files_button, mp3_button = s.toggle_button("Rename File(s)"), s.toggle_button("Rename MP3")
    filter_text = s.combo_text("Filter:   ")

    def shown():
        return (s.program.window("File Renaming Panel") is not None,
                s.program.window("MP3 Tag Renaming Panel") is not None,
                files_button.checked, mp3_button.checked, filter_text.text)

    steps = [  # button, then (file panel, MP3 panel, files pressed, MP3 pressed, filter)
        (mp3_button, (False, True, False, True, "*.mp3")),
        (mp3_button, (False, False, False, False, "*.mp3")),
        (files_button, (True, False, True, False, "*.*")),
        (mp3_button, (False, True, False, True, "*.mp3")),
        (files_button, (True, False, True, False, "*.*")),
    ]
    for i, (button, expected) in enumerate(steps):
        s.click(button)
        wait_equal(shown, expected, "step %d after clicking %s" % (i + 1, button.name))
        if expected[1]:
            stored = PANELS_OUT_OF_THE_WAY["MP3Panel"]
            mp3 = s.panel("MP3 Tag Renaming Panel")
            equal(mp3.extents[:2], (stored["Left"], stored["Top"]), "the MP3 panel's position")
    wait_equal(lambda: s.status_panels()[2], "Show/Hide File Renaming Panel",
               "the hint line after the pointer was there")


def restart_restores_settings(s):
    """Settings changed in the window survive a restart, and so do settings
    changed in the file between two runs."""
    sub = os.path.join(s.files, "sub")
    os.makedirs(sub)
    open(os.path.join(sub, "delta.txt"), "w").close()
    s.write_options(PANELS_OUT_OF_THE_WAY)
    main = s.start()
    panel = s.panel("File Renaming Panel")
    s.type_into(s.combo_text("Path:   "), s.files)
    s.press_keys("Return")
    s.wait_listed(ALL_FILES, "the typed folder's files")
    s.click(find(panel, "page tab", "Replace"))
    wait_equal(lambda: find(panel, "page tab list").name, "Replace", "the current page")
    s.type_into(find(panel, "text", "Search :"), "alpha", window="File Renaming Panel")
    every = find(panel, "check box", "All occurrences  ")
    s.click(every)
    wait_for(lambda: every.checked, "All occurrences to be ticked")
    include = find(main, "check box", "Include Subfolders")
    s.click(include)
    wait_for(lambda: include.checked, "Include Subfolders to be ticked")
    s.type_into(s.combo_text("Filter:   "), "*.t?t")
    s.press_keys("Return")
    s.wait_listed(["alpha.txt", "beta.TXT", "delta.txt"], "the .txt files with the subfolder")
    equal(s.program.close(), 0, "exit status of the first run")

    options = s.read_options()
    written = {("renamepanel", "activeindex"): "3", ("replace", "sourcestr"): "alpha",
               ("replace", "allsub"): "1", ("main", "includesub"): "1",
               ("main", "filter"): "*.t?t", ("main", "favorite"): s.files + "/",
               ("main", "filtercount"): "13", ("main", "filter_12"): "*.t?t"}
    for key, value in written.items():
        equal(options.get(key), value, "stored %s/%s" % key)

    # Changed between the runs: the path box hidden, upper-case extension.
    with open(s.program.options, encoding="utf-8") as ini:
        text = ini.read()
    for key, value in (("FavoriteVisible", 0), ("RB1", 0), ("RB3", 1)):
        text, count = re.subn(r"(?m)^%s=[^\r\n]*" % key, "%s=%d" % (key, value), text)
        equal(count, 1, "lines of %s in the file" % key)
    with open(s.program.options, "w", encoding="utf-8") as ini:
        ini.write(text)

    main = s.start()
    panel = s.panel("File Renaming Panel")
    s.wait_listed(["alpha.txt", "beta.TXT", "delta.txt"], "the restored scan")
    equal(find(panel, "page tab list").name, "Replace", "the restored page")
    equal(find(panel, "text", "Search :").text, "alpha", "the restored search text")
    check(find(panel, "check box", "All occurrences  ").checked, "All occurrences restored")
    check(find(main, "check box", "Include Subfolders").checked, "Include Subfolders restored")
    equal(s.combo_text("Filter:   ").text, "*.t?t", "the restored filter")
    equal(s.combo_items("Filter:   ")[-1], "*.t?t", "the restored filter history")
    check(not find_all(main, "combo box", "Path:   "), "the path box stays hidden")
    extension = [r for r in find_all(panel, "radio button", showing=False) if r.name == "UPPER"]
    check(len(extension) == 2 and not extension[0].checked and extension[1].checked,
          "UPPER chosen for the extension only")
    equal(s.program.close(), 0, "exit status of the second run")

    options = s.read_options()
    written.update({("main", "favoritevisible"): "0", ("case", "rb3"): "1",
                    ("case", "rb1"): "0"})
    for key, value in written.items():
        equal(options.get(key), value, "stored again %s/%s" % key)


def folder_argument(s):
    """A folder named on the command line is listed instead of the stored
    one and becomes the stored folder; an unknown option gets one line on
    stderr and is otherwise ignored. --help and --version need no display."""
    for option, pattern in (("--help", r"^Usage: quorvane \[FOLDER\]$"),
                            ("--version", r"^Quorvane [0-9][0-9.]*$")):
        env = {k: v for k, v in s.desktop.env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        done = subprocess.run([s.program.path, option], env=env, capture_output=True, text=True,
                              timeout=30)
        equal(done.returncode, 0, option + " exit status")
        equal(done.stderr, "", option + " stderr")
        check(re.search(pattern, done.stdout, re.M), "%s printed %r" % (option, done.stdout))

    stored = os.path.join(s.root, "work", "stored")
    given = os.path.join(s.root, "work", "given folder")
    for folder, names in ((stored, ["old.txt"]), (given, ["one.txt", "two.txt"])):
        os.makedirs(folder)
        for name in names:
            open(os.path.join(folder, name), "w").close()
    s.write_options({"Main": {"Favorite": stored}})
    s.start("-bogus", given)
    s.wait_listed(["one.txt", "two.txt"], "the given folder's files")
    equal(s.combo_text("Path:   ").text, given + "/", "path box")
    wait_equal(lambda: s.status_panels()[0], "Total files : 2", "the first status panel")
    equal(s.program.close(), 0, "exit status")
    ours = [line for line in s.program.log().splitlines() if line.startswith("quorvane: ")]
    equal(len(ours), 1, "lines of our own on stderr: %r" % ours)
    check("-bogus" in ours[0], "the line names the option: %r" % ours[0])
    equal(s.read_options().get(("main", "favorite")), given + "/", "stored folder")


MANY = 20000
UNFINISHED = re.compile(r"The last run did not finish: (\d+) of (\d+) files were renamed\.")


def menu_entry(s, menu, key):
    """Opens a menu of the menu bar with a pointer click and picks an entry
    by its access key, as a user does. X events are handled in order, so the
    key reaches the menu once it is open."""
    s.program.focus_window()
    s.click(find(find(s.main, "tool bar", "Menu"), "push button", menu))
    s.desktop.keys(key)


def box_text(box):
    return "\n".join(n.name for n in find_all(box, "label"))


def killed_part_way(s):
    """Apply over many files, the program killed with SIGKILL while it renames.
    Returns the names on disk afterwards."""
    many = os.path.join(s.root, "work", "many")
    os.makedirs(many)
    for i in range(MANY):
        name = "f%05d.txt" % i
        with open(os.path.join(many, name), "w") as out:
            out.write(name)
    s.write_options(dict(PANELS_OUT_OF_THE_WAY, Main={"Favorite": many},
                         RenamePanel=dict(PANELS_OUT_OF_THE_WAY["RenamePanel"], ActiveIndex=1),
                         Insert={"InsertStr": "x_", "index": 1}))
    s.start()
    wait_equal(lambda: s.status_panels()[0], "Total files : %d" % MANY, "the scan", timeout=60)
    preview, apply = s.tool_button("Preview"), s.tool_button("Apply")
    wait_for(lambda: preview.enabled, "Preview to be available")
    preview.action("Press")
    wait_for(lambda: apply.enabled, "Apply to be available after Preview", timeout=60)
    s.program.focus_window()
    s.click(apply)  # an X click returns at once; the run goes on in the program

    def renamed():
        return sum(1 for e in os.scandir(many) if e.name.startswith("x_"))

    wait_for(lambda: renamed() >= 300, "the run to be under way", timeout=60)
    os.kill(s.program.process.pid, signal.SIGKILL)
    s.program.process.wait(timeout=20)
    names = sorted(os.listdir(many))
    done = sum(1 for n in names if n.startswith("x_"))
    check(0 < done < MANY, "killed part-way: %d of %d renamed" % (done, MANY))
    equal(len(names), MANY, "files after the kill")
    return many, names, done


def recovery_question(s, done):
    s.start()
    box = s.program.message_box()
    text = box_text(box)
    found = UNFINISHED.search(text)
    check(found, "the recovery question, got %r" % text)
    equal((int(found.group(1)), int(found.group(2))), (done, MANY), "counts of the question")
    check("Undo the renamed files?" in text, "the question's second line")
    return box


def crash_then_undo(s):
    """Killed part-way through Apply, restarted, Yes: every file has its
    original name and content again."""
    many, _, done = killed_part_way(s)
    s.program.answer(recovery_question(s, done), "Yes")
    box = s.program.message_box()
    check(SUMMARY_OK in box_text(box), "the undo summary: %r" % box_text(box))
    s.program.answer(box, "OK")
    names = sorted(os.listdir(many))
    equal(names, ["f%05d.txt" % i for i in range(MANY)], "the original names")
    for name in names[:: MANY // 50] + names[-3:]:
        with open(os.path.join(many, name)) as f:
            equal(f.read(), name, "the content of " + name)
    log = os.path.join(s.program.folder, "Log.txt")
    check(os.path.exists(log) and os.path.getsize(log) == 0, "an empty Log.txt")
    # The undo rescans the folder; the test ends once the list shows it.
    wait_for(lambda: s.program.window("Searching Files..") is None
             and s.status_panels()[0] == "Total files : %d" % MANY
             and s.file_list().cell(0, 0).name.startswith("f"), "the rescan after the undo",
             timeout=60)


def crash_then_keep(s):
    """Killed part-way, restarted, No: the names stay, and Run History lists
    the run as interrupted."""
    many, names, done = killed_part_way(s)
    s.program.answer(recovery_question(s, done), "No")
    equal(sorted(os.listdir(many)), names, "the names after No")
    menu_entry(s, "Operate", "h")  # "Run &History..."
    window = wait_for(lambda: next((w for w in s.program.windows()
                                    if w.name == "Run History" and w.showing), None),
                      "the Run History window")
    table = Table(find(window, "table", "Run History"))
    equal(table.rows, 1, "runs listed")
    equal([table.cell(0, c).name for c in range(2, 5)],
          ["Rename", "%d of %d" % (done, MANY), "interrupted"], "the run's row")
    check(table.cell(0, 1).name == many + "/", "the run's folder: %r" % table.cell(0, 1).name)
    s.click(find(window, "push button", "Close"))
    wait_for(lambda: gone(window), "the Run History window to close")


def sort_by_header(s, table, caption, order):
    """Clicks a column header until the first column reads `order`: a click
    sorts the other way round from the column's last sort, which the list
    need not show yet."""
    header = next(c for c in table.node.children() if c.role == "table column header"
                  and c.name == caption)
    s.program.focus_window()
    for attempt in range(2):
        s.click(header)
        try:
            wait_equal(lambda: table.column(0), order, "the order after sorting by %r" % caption,
                       timeout=3 if attempt == 0 else None)
            return
        except E2EError:
            if attempt == 1:
                raise


def chain_sort_undo(s):
    """b -> c then a -> b, the list sorted by a header click, then Undo:
    both files have their names back."""
    chain = os.path.join(s.root, "work", "chain")
    os.makedirs(chain)
    for name in ("a.txt", "aa.txt"):
        with open(os.path.join(chain, name), "w") as out:
            out.write(name)
    # Insert "a" at the front: aa -> aaa must go before a -> aa.
    s.write_options(dict(PANELS_OUT_OF_THE_WAY, Main={"Favorite": chain},
                         RenamePanel=dict(PANELS_OUT_OF_THE_WAY["RenamePanel"], ActiveIndex=1),
                         Insert={"InsertStr": "a", "index": 1}))
    s.start()
    s.wait_listed(["a.txt", "aa.txt"], "the chain's files")
    table = s.file_list()
    sort_by_header(s, table, "Original Name", ["aa.txt", "a.txt"])
    preview, apply, undo = (s.tool_button(n) for n in ("Preview", "Apply", "Undo"))
    preview.action("Press")
    wait_equal(lambda: table.column(1), ["aaa.txt", "aa.txt"], "the new names")
    apply.action("Press", opens_box=True)
    s.program.answer(s.program.message_box(), "OK")
    equal(sorted(os.listdir(chain)), ["aa.txt", "aaa.txt"], "the files after Apply")
    # The other order now: a list-order undo would try aa -> a first.
    sort_by_header(s, table, "New Name", ["aa.txt", "aaa.txt"])
    undo.action("Press", opens_box=True)
    box = s.program.message_box()
    check(SUMMARY_OK in box_text(box), "the undo summary: %r" % box_text(box))
    s.program.answer(box, "OK")
    equal(sorted(os.listdir(chain)), ["a.txt", "aa.txt"], "both names back")
    for name in ("a.txt", "aa.txt"):
        with open(os.path.join(chain, name)) as f:
            equal(f.read(), name, "the content of " + name)

# -- whole-batch plans: swaps, cycles, two rows to one name ---------------------


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


def click_header(s, caption):
    header = next(c for c in s.file_list().node.children()
                  if c.role == "table column header" and c.name == caption)
    s.program.focus_window()
    s.click(header)


def numbering_options(folder):
    return dict(PANELS_OUT_OF_THE_WAY, Main={"Favorite": folder},
                RenamePanel=dict(PANELS_OUT_OF_THE_WAY["RenamePanel"], ActiveIndex=5),
                Emu={"Alpha": 0, "StartFromStr": "001", "step": 1, "Ext": "txt"})


def preview_then_apply(s, conflicts):
    """Preview, the conflict count it shows, then Apply; the summary's labels."""
    preview, apply = (s.tool_button(n) for n in ("Preview", "Apply"))
    wait_for(lambda: preview.enabled, "Preview to be available")
    preview.action("Press")
    wait_for(lambda: "Conflicts : %d" % conflicts in s.status_panels(), "the conflict count")
    wait_for(lambda: apply.enabled, "Apply to be available after Preview")
    apply.action("Press", opens_box=True)
    box = s.program.message_box()
    labels = [n.name for n in find_all(box, "label")]
    return box, labels


def swap_sorted_down(s):
    """Numbering on a list sorted Z to A swaps two names: 002.txt becomes
    001.txt and 001.txt becomes 002.txt, and both count as renamed."""
    folder = make_folder(s, "swap", {"001.txt": "one", "002.txt": "two"})
    s.write_options(numbering_options(folder))
    s.start()
    s.wait_listed(["001.txt", "002.txt"], "the restored folder's files")
    for _ in range(2):  # the first click may sort A to Z
        if s.file_list().column(0) == ["002.txt", "001.txt"]:
            break
        before = s.file_list().column(0)
        click_header(s, "Original Name")
        wait_for(lambda: s.file_list().column(0) != before, "the list to be sorted again")
    equal(s.file_list().column(0), ["002.txt", "001.txt"], "the list sorted Z to A")
    box, labels = preview_then_apply(s, 0)
    check(SUMMARY_OK in labels, "the summary names success: %r" % labels)
    s.program.answer(box, "OK")
    equal(folder_contents(folder), {"001.txt": "two", "002.txt": "one"}, "the files swapped")


def three_file_cycle(s):
    """Numbering on a list sorted by size moves three names round a cycle.
    The sizes lie kilobytes apart, as the list shows them."""
    sizes = {"001.txt": "a" * 5000, "002.txt": "b" * 100, "003.txt": "c" * 2500}
    folder = make_folder(s, "cycle", sizes)
    s.write_options(numbering_options(folder))
    s.start()
    s.wait_listed(["001.txt", "002.txt", "003.txt"], "the restored folder's files")
    click_header(s, "Size")
    wait_equal(lambda: s.file_list().column(0), ["002.txt", "003.txt", "001.txt"],
               "the list sorted by size")
    box, labels = preview_then_apply(s, 0)
    check(SUMMARY_OK in labels, "the summary names success: %r" % labels)
    s.program.answer(box, "OK")
    equal(folder_contents(folder), {"001.txt": sizes["002.txt"], "002.txt": sizes["003.txt"],
                                    "003.txt": sizes["001.txt"]},
          "the files after the cycle")


def two_rows_one_name(s):
    """Deleting the first letter gives two rows the same name: Preview counts
    both, and Apply renames the row listed first and fails the other."""
    folder = make_folder(s, "same", {"xa.txt": "x", "ya.txt": "y"})
    s.write_options(dict(PANELS_OUT_OF_THE_WAY, Main={"Favorite": folder},
                         RenamePanel=dict(PANELS_OUT_OF_THE_WAY["RenamePanel"], ActiveIndex=2),
                         Delete={"IsFromEnd": 0, "index": 1, "Count": 1}))
    s.start()
    s.wait_listed(["xa.txt", "ya.txt"], "the restored folder's files")
    first = s.file_list().column(0)[0]
    box, labels = preview_then_apply(s, 2)
    check("Files can not be renamed : 1" in " ".join(labels),
          "the summary counts one failure: %r" % labels)
    s.program.answer(box, "Cancel")
    other = "ya.txt" if first == "xa.txt" else "xa.txt"
    equal(folder_contents(folder), {"a.txt": first[0], other: other[0]},
          "the first row renamed, the other left")


TESTS = {
    "FirstStart": first_start,
    "PathAndEnter": path_and_enter,
    "FilterAndEnter": filter_and_enter,
    "TreeClick": tree_click,
    "PreviewApplyUndo": preview_apply_undo,
    "ChainAndConflict": chain_and_conflict,
    "DeleteToTrash": delete_to_trash,
    "PanelButtons": panel_buttons,
    "RestartRestoresSettings": restart_restores_settings,
    "FolderArgument": folder_argument,
    "CrashThenUndo": crash_then_undo,
    "CrashThenKeep": crash_then_keep,
    "ChainSortUndo": chain_sort_undo,
}
TESTS.update({
    "SwapSortedDown": swap_sorted_down,
    "ThreeFileCycle": three_file_cycle,
    "TwoRowsOneName": two_rows_one_name,
})


def run(name, executable, out):
    folder = os.path.join(out, name)
    shutil.rmtree(folder, ignore_errors=True)
    root = d.temporary_root()
    started = time.monotonic()
    session = None
    try:
        with d.Desktop(root) as desktop:
            session = Session(desktop, executable, root)
            try:
                TESTS[name](session)
                session.finish()
            except BaseException:
                session.save_evidence(folder)
                print("the program's output:\n" + session.program.log())
                raise
            finally:
                session.program.kill()
        print("%s passed in %.1f s" % (name, time.monotonic() - started))
        return True
    except Exception:
        traceback.print_exc()
        print("%s FAILED after %.1f s; evidence in %s" % (name, time.monotonic() - started, folder))
        return False
    finally:
        shutil.rmtree(root, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", help="the built program")
    parser.add_argument("--out", default=os.path.join(os.getcwd(), "e2e-out"),
                        help="folder for the evidence of failed tests")
    parser.add_argument("--list", action="store_true", help="print the test names")
    parser.add_argument("tests", nargs="*", help="tests to run (all when none are named)")
    args = parser.parse_args()
    if args.list:
        print("\n".join(TESTS))
        return 0
    if not args.program:
        parser.error("--program is needed")
    names = args.tests or list(TESTS)
    unknown = [n for n in names if n not in TESTS]
    if unknown:
        parser.error("no such test: %s" % ", ".join(unknown))
    program, out = os.path.abspath(args.program), os.path.abspath(args.out)
    if len(names) == 1:
        return 0 if run(names[0], program, out) else 1
    # One process per test: libatspi connects to one accessibility bus only.
    results = [subprocess.call([sys.executable, os.path.abspath(__file__), "--program", program,
                                "--out", out, n]) == 0 for n in names]
    passed = sum(results)
    print("%d passed, %d failed" % (passed, len(results) - passed))
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
