"""Preview, Apply and Undo through the window: conflicts, chains, the trash,
the panel buttons, and whole-batch plans on sorted lists (swaps, cycles, two
rows to one name)."""

import os

from accessible import find_all
from desktop import E2EError, wait_for
from session import (ALL_FILES, PANELS_OUT_OF_THE_WAY, SUMMARY_OK, box_text, check, equal,
                     folder_contents, make_folder, wait_equal)


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
    chain = make_folder(s, "chain", {"a.txt": "a.txt", "aa.txt": "aa.txt"})
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
    equal(folder_contents(chain), {"a.txt": "a.txt", "aa.txt": "aa.txt"},
          "both names back, each with its own content")


# -- whole-batch plans: swaps, cycles, two rows to one name ---------------------


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


def planted_log_link(s):
    """A Log.txt beside the program that links to one of the user's private
    files: the program says once that it passed the file over and where it
    keeps its files, a run writes its log there, and the linked file keeps
    its bytes."""
    private = os.path.join(s.root, "private")
    os.makedirs(private, mode=0o700)
    secret = os.path.join(private, "notes.txt")
    with open(secret, "w") as out:
        out.write("mine\n")
    os.symlink(secret, os.path.join(s.program.folder, "Log.txt"))
    config = os.path.join(s.desktop.env["XDG_CONFIG_HOME"], "Quorvane")
    os.makedirs(config, mode=0o700)
    s.program.folder_for_options = config
    s.write_options({"Main": {"Favorite": s.files}, "Case": {"MFRB1": 0, "MFRB3": 1}})
    s.start()
    box = s.program.message_box()
    text = box_text(box)
    check('"Log.txt" beside the program is not used: it is a link.' in text
          and config in text, "the notice names the file, the reason and the folder: %r" % text)
    s.program.answer(box, "OK")

    s.wait_listed(ALL_FILES, "the restored folder's files")
    preview, apply = (s.tool_button(n) for n in ("Preview", "Apply"))
    wait_for(lambda: preview.enabled, "Preview to be available")
    preview.action("Press")
    wait_for(lambda: apply.enabled, "Apply to be available after Preview")
    apply.action("Press", opens_box=True)
    box = s.program.message_box()
    check(SUMMARY_OK in box_text(box), "the summary names success")
    s.program.answer(box, "OK")
    equal(sorted(os.listdir(s.files)), ["ALPHA.txt", "BETA.TXT", "GAMMA.log"], "the renamed files")
    with open(secret) as kept:
        equal(kept.read(), "mine\n", "the linked file")
    check(os.path.islink(os.path.join(s.program.folder, "Log.txt")), "the link stays a link")
    log = os.path.join(config, "Log.txt")
    check(os.path.isfile(log) and os.path.getsize(log) == 0, "the run's log in the user's folder")
    equal(os.stat(log).st_mode & 0o777, 0o600, "the log's mode")
