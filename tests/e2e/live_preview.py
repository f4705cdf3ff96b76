""""Live Preview" in the real window: the entry ticked in the View menu, then
keys typed into the Insert page's text box rename the list by themselves."""

from accessible import find
from session import ALL_FILES, PANELS_OUT_OF_THE_WAY, check, equal, wait_equal


def tick_live_preview(s):
    """Opens the View menu with a click and takes its last entry, "Live
    Preview", with the keyboard (Up from the top wraps to the last entry).
    X events are handled in order, so the keys reach the menu once it is open."""
    s.program.focus_window()
    s.click(find(find(s.main, "tool bar", "Menu"), "push button", "View"))
    s.desktop.keys("Up", "Return")


def live_preview_typing(s):
    """Typing into "String To Insert" renames every row after a pause, with
    no Preview pressed, the list's selection left empty and the focus kept
    in the box; the entry stays ticked for the next start."""
    s.write_options({"Main": {"Favorite": s.files},
                     "RenamePanel": dict(PANELS_OUT_OF_THE_WAY["RenamePanel"], ActiveIndex=1),
                     "MP3Panel": PANELS_OUT_OF_THE_WAY["MP3Panel"]})
    s.start()
    s.wait_listed(ALL_FILES, "the restored folder's files")
    tick_live_preview(s)

    panel = s.panel("File Renaming Panel")
    insert = find(panel, "text", "String   To   Insert  : ")
    s.type_into(insert, "new_", window="File Renaming Panel")
    wait_equal(lambda: s.listed(1), sorted("new_" + n for n in ALL_FILES),
               "the new names without Preview")
    check(insert.focused, "the focus stays in the text box")
    equal(s.status_panels()[1], "Selectd files : 0", "the selection after the live preview")
    equal(s.program.close(), 0, "exit status")
    equal(s.read_options().get(("main", "livepreview")), "1", "the stored Live Preview")
