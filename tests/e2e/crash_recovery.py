"""A run killed part-way with SIGKILL, and what the next start offers: the
recovery question, Undo of what was renamed, or the names kept and the run
listed as interrupted. The kill comes at a known rename, from a library
preloaded into the program, so the run stops at the same step on any disk."""

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
# The program is killed just before its rename number KILL_AT of the run.
KILL_AT = 300


def killed_at_rename(prefix):
    """The environment that has the program killed just before its KILL_AT-th
    rename to a name starting with `prefix`."""
    library = os.environ.get("QUORVANE_E2E_KILL_LIBRARY")
    check(library and os.path.exists(library),
          "the crash tests need the library of --kill-at-rename, got %r" % library)
    # A sanitized build wants its runtime loaded first; the library only
    # stands in for one call, so the order does not matter to it.
    asan = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "verify_asan_link_order=0"]))
    return {"LD_PRELOAD": library, "QUORVANE_E2E_KILL_AT_RENAME": "%s:%d" % (prefix, KILL_AT),
            "ASAN_OPTIONS": asan}


def wait_for_the_kill(s):
    s.program.process.wait(timeout=120)
    equal(s.program.process.returncode, -signal.SIGKILL, "how the program ended")


def menu_entry(s, menu, key):
    """Opens a menu of the menu bar with a pointer click and picks an entry
    by its access key, as a user does. X events are handled in order, so the
    key reaches the menu once it is open."""
    s.program.focus_window()
    s.click(find(find(s.main, "tool bar", "Menu"), "push button", menu))
    s.desktop.keys(key)


def many_files_previewed(s, extra_env=None):
    """A folder of MANY files listed and previewed with the prefix "x_";
    returns the folder and the Apply button."""
    many = make_folder(s, "many", {name: name for name in ORIGINAL_NAMES})
    s.write_options(dict(PANELS_OUT_OF_THE_WAY, Main={"Favorite": many},
                         RenamePanel=dict(PANELS_OUT_OF_THE_WAY["RenamePanel"], ActiveIndex=1),
                         Insert={"InsertStr": "x_", "index": 1}))
    s.start(extra_env=extra_env)
    wait_equal(lambda: s.status_panels()[0], "Total files : %d" % MANY, "the scan", timeout=60)
    preview, apply = s.tool_button("Preview"), s.tool_button("Apply")
    wait_for(lambda: preview.enabled, "Preview to be available")
    preview.action("Press")
    wait_for(lambda: apply.enabled, "Apply to be available after Preview", timeout=60)
    return many, apply


def killed_part_way(s):
    """Apply over many files, the program killed with SIGKILL while it renames.
    Returns the names on disk afterwards."""
    many, apply = many_files_previewed(s, killed_at_rename("x_"))
    s.program.focus_window()
    s.click(apply)  # an X click returns at once; the run goes on in the program
    wait_for_the_kill(s)
    names = sorted(os.listdir(many))
    done = sum(1 for n in names if n.startswith("x_"))
    equal(done, KILL_AT - 1, "files renamed before the kill")
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
    many, apply = many_files_previewed(s, killed_at_rename("f"))
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

    wait_for_the_kill(s)
    given_back = sum(1 for e in os.scandir(many) if e.name.startswith("f"))
    equal(given_back, KILL_AT - 1, "files given back before the kill")

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
