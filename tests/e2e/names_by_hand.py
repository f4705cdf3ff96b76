"""Names by hand in the real window: one "New Name" cell typed with F2,
every name typed in "Edit New Names", and files named on the command line."""

import os

from accessible import find, gone
from desktop import wait_for
from session import (ALL_FILES, PANELS_OUT_OF_THE_WAY, SUMMARY_OK, box_text, check, equal,
                     wait_equal)


def start_listed(s):
    s.write_options(dict(PANELS_OUT_OF_THE_WAY, Main={"Favorite": s.files}))
    s.start()
    s.wait_listed(ALL_FILES, "the restored folder's files")


def typed_name_apply_undo(s):
    """F2 on a row opens an editor over its New Name cell; a typed name and
    Enter make it the new name, Apply renames the file, and Undo gives its
    old name back."""
    start_listed(s)
    table = s.file_list()
    row = next(r for r in range(table.rows) if table.cell(r, 0).name == "alpha.txt")
    s.program.focus_window()
    s.click(table.cell(row, 0))
    wait_for(lambda: table.cell(row, 0).selected, "the clicked row to be selected")
    # X events are handled in order: the keys after F2 reach the editor it
    # opens. (The editor lies inside the table, whose accessible children
    # are its cells; its name is checked by the window tests.)
    s.press_keys("F2", "ctrl+a")
    s.desktop.type("omega.txt")
    s.desktop.keys("Return")
    wait_equal(lambda: s.listed(1), ["", "", "omega.txt"], "the typed new name")
    wait_for(lambda: "Conflicts : 0" in s.status_panels(), "the conflict check")

    apply, undo = s.tool_button("Apply"), s.tool_button("Undo")
    wait_for(lambda: apply.enabled, "Apply to be available after the typed name")
    apply.action("Press", opens_box=True)
    box = s.program.message_box()
    check(SUMMARY_OK in box_text(box), "the Apply summary: %r" % box_text(box))
    s.program.answer(box, "OK")
    equal(sorted(os.listdir(s.files)), sorted(["omega.txt", "beta.TXT", "gamma.log"]),
          "the files after Apply")

    wait_for(lambda: undo.enabled, "Undo to be available")
    undo.action("Press", opens_box=True)
    box = s.program.message_box()
    check(SUMMARY_OK in box_text(box), "the Undo summary: %r" % box_text(box))
    s.program.answer(box, "OK")
    s.wait_listed(ALL_FILES, "the old names, listed again")
    equal(sorted(os.listdir(s.files)), sorted(ALL_FILES), "the files after Undo")


def open_edit_new_names(s):
    """Operate -> "Edit New Names...", the entry above the last one."""
    s.program.focus_window()
    s.click(find(find(s.main, "tool bar", "Menu"), "push button", "Operate"))
    s.desktop.keys("Up", "Up", "Return")
    window = wait_for(lambda: next((w for w in s.program.windows()
                                    if w.name == "Edit New Names" and w.showing), None),
                      "the Edit New Names window")
    return window, find(window, "text", "New names, one per line")


def type_lines(s, field, lines):
    """Types over the text box's text, one line after another."""
    s.program.focus_window("Edit New Names")
    s.click(field)
    wait_for(lambda: field.focused, "the focus in %r" % field)
    s.desktop.keys("ctrl+a", "BackSpace")
    for number, line in enumerate(lines):
        if number:
            s.desktop.keys("Return")
        s.desktop.type(line)
    wait_equal(lambda: field.text.split("\n"), lines, "the typed lines")


def edit_new_names(s):
    """"Edit New Names..." shows one line per row; a text of the wrong
    length is refused with a warning and changes nothing, the window staying
    open; three typed lines and OK give the rows their new names."""
    start_listed(s)
    window, text = open_edit_new_names(s)
    equal(text.text.split("\n"), s.file_list().column(0), "one line per row, in list order")

    type_lines(s, text, ["one.txt", "two.txt"])
    s.click(find(window, "push button", "OK"))
    box = wait_for(lambda: next((w for w in s.program.windows() if w.role in ("alert", "dialog")
                                 and w.showing and w.name != "Edit New Names"), None),
                   "the warning box")
    equal(box_text(box), "The text has 2 lines for 3 files.", "the warning")
    s.program.answer(box, "OK")
    check(not gone(window) and window.showing, "the window stays open")
    equal(s.listed(1), ["", "", ""], "no new name after the warning")

    lines = ["one.txt", "two.txt", "three.txt"]
    type_lines(s, text, lines)
    s.click(find(window, "push button", "OK"))
    wait_for(lambda: gone(window), "the window to close")
    wait_equal(lambda: s.file_list().column(1), lines, "the lines in the New Name column")
    wait_for(lambda: s.tool_button("Apply").enabled, "Apply to be available")


def files_argument(s):
    """Two files of a folder of three named on the command line: exactly
    those two are listed, and the path box shows their folder."""
    given = [os.path.join(s.files, name) for name in ("alpha.txt", "gamma.log")]
    s.start(*given)
    s.wait_listed(["alpha.txt", "gamma.log"], "the two given files")
    wait_equal(lambda: s.status_panels()[0], "Total files : 2", "the first status panel")
    equal(s.combo_text("Path:   ").text, s.files + "/", "the path box")
