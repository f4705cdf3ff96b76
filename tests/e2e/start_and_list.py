"""The first start, listing a folder (typed path, filter, a click in the
tree, the command line) and settings kept from one run to the next."""

import os
import re
import subprocess

from accessible import Table, find, find_all
from desktop import wait_for
from session import ALL_FILES, PANELS_OUT_OF_THE_WAY, check, equal, make_folder, wait_equal


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
    other = make_folder(s, "other", {"one.txt": "", "two.txt": ""})
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
    for option, pattern in (("--help", r"^Usage: quorvane \[FOLDER \| PATH\.\.\.\]$"),
                            ("--version", r"^Quorvane [0-9][0-9.]*$")):
        env = {k: v for k, v in s.desktop.env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        done = subprocess.run([s.program.path, option], env=env, capture_output=True, text=True,
                              timeout=30)
        equal(done.returncode, 0, option + " exit status")
        equal(done.stderr, "", option + " stderr")
        check(re.search(pattern, done.stdout, re.M), "%s printed %r" % (option, done.stdout))

    stored = make_folder(s, "stored", {"old.txt": ""})
    given = make_folder(s, "given folder", {"one.txt": "", "two.txt": ""})
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
