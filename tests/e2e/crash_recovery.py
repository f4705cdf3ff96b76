"""A run killed part-way with SIGKILL, and what the next start offers: the
recovery question, Undo of what was renamed, or the names kept and the run
listed as interrupted."""

import os
import re
import signal

from accessible import Table, find, gone
from desktop import wait_for
from session import PANELS_OUT_OF_THE_WAY, SUMMARY_OK, box_text, check, equal, make_folder, \
    wait_equal

MANY = 20000
ORIGINAL_NAMES = ["f%05d.txt" % i for i in range(MANY)]
UNFINISHED = re.compile(r"The last run did not finish: (\d+) of (\d+) files were renamed\.")
UNFINISHED_UNDO = re.compile(r"The last undo did not finish: (\d+) of (\d+) files were given back\.")


def menu_entry(s, menu, key):
    """Opens a menu of the menu bar with a pointer click and picks an entry
    by its access key, as a user does. X events are handled in order, so the
    key reaches the menu once it is open."""
    s.program.focus_window()
    s.click(find(find(s.main, "tool bar", "Menu"), "push button", menu))
    s.desktop.keys(key)


def many_files_previewed(s):
    """A folder of MANY files listed and previewed with the prefix "x_";
    returns the folder and the Apply button."""
    many = make_folder(s, "many", {name: name for name in ORIGINAL_NAMES})
    s.write_options(dict(PANELS_OUT_OF_THE_WAY, Main={"Favorite": many},
                         RenamePanel=dict(PANELS_OUT_OF_THE_WAY["RenamePanel"], ActiveIndex=1),
                         Insert={"InsertStr": "x_", "index": 1}))
    s.start()
    wait_equal(lambda: s.status_panels()[0], "Total files : %d" % MANY, "the scan", timeout=60)
    preview, apply = s.tool_button("Preview"), s.tool_button("Apply")
    wait_for(lambda: preview.enabled, "Preview to be available")
    preview.action("Press")
    wait_for(lambda: apply.enabled, "Apply to be available after Preview", timeout=60)
    return many, apply


def killed_part_way(s):
    """Apply over many files, the program killed with SIGKILL while it renames.
    Returns the names on disk afterwards."""
    many, apply = many_files_previewed(s)
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


def check_original_names(many):
    """Every file is back under its original name, with its own content."""
    names = sorted(os.listdir(many))
    equal(names, ORIGINAL_NAMES, "the original names")
    for name in names[:: MANY // 50] + names[-3:]:
        with open(os.path.join(many, name)) as f:
            equal(f.read(), name, "the content of " + name)


def crash_then_undo(s):
    """Killed part-way through Apply, restarted, Yes: every file has its
    original name and content again."""
    many, _, done = killed_part_way(s)
    s.program.answer(recovery_question(s, done), "Yes")
    box = s.program.message_box()
    check(SUMMARY_OK in box_text(box), "the undo summary: %r" % box_text(box))
    s.program.answer(box, "OK")
    check_original_names(many)
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


def crash_during_undo(s):
    """Apply in full, then the program killed with SIGKILL while its Undo
    gives the names back. The next start names the undo, and Yes gives back
    every original name."""
    many, apply = many_files_previewed(s)
    s.program.focus_window()
    s.click(apply)
    box = s.program.message_box()
    check(SUMMARY_OK in box_text(box), "the Apply summary: %r" % box_text(box))
    s.program.answer(box, "OK")
    check(all(n.startswith("x_") for n in os.listdir(many)), "every file renamed")
    undo = s.tool_button("Undo")
    wait_for(lambda: undo.enabled, "Undo to be available after Apply")
    s.program.focus_window()
    s.click(undo)

    def back():
        return sum(1 for e in os.scandir(many) if e.name.startswith("f"))

    wait_for(lambda: back() >= 300, "the undo to be under way", timeout=60)
    os.kill(s.program.process.pid, signal.SIGKILL)
    s.program.process.wait(timeout=20)
    given_back = back()
    check(0 < given_back < MANY, "killed part-way: %d of %d given back" % (given_back, MANY))

    s.start()
    box = s.program.message_box()
    text = box_text(box)
    found = UNFINISHED_UNDO.search(text)
    check(found, "the question names the undo, got %r" % text)
    check("Give back the rest?" in text, "the question's second line")
    equal((int(found.group(1)), int(found.group(2))), (given_back, MANY), "counts of the question")
    s.program.answer(box, "Yes")
    box = s.program.message_box()
    check(SUMMARY_OK in box_text(box), "the summary of the rest: %r" % box_text(box))
    s.program.answer(box, "OK")
    check_original_names(many)
    # Nothing is left to offer: a third start asks nothing.
    wait_for(lambda: s.program.window("Searching Files..") is None
             and s.status_panels()[0] == "Total files : %d" % MANY, "the rescan after the undo",
             timeout=60)
