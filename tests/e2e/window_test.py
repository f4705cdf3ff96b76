#!/usr/bin/python3
"""End-to-end tests of the real window: each one starts the built program on a
private X display, types and clicks with real X events and reads the window
through AT-SPI, as a screen reader does.

    window_test.py --program build/quorvane [--kill-at-rename LIB] --out DIR TEST [TEST ...]
    window_test.py --list

On failure the test's folder receives a screenshot, the accessibility tree
and the program's output.
"""

import argparse
import os
import shutil
import subprocess
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop as d  # noqa: E402
from crash_recovery import crash_during_undo, crash_then_keep, crash_then_undo  # noqa: E402
from date_names import date_taken_names  # noqa: E402
from live_preview import live_preview_typing  # noqa: E402
from names_by_hand import edit_new_names, files_argument, typed_name_apply_undo  # noqa: E402
from rename_runs import (chain_and_conflict, chain_sort_undo, delete_to_trash,  # noqa: E402
                         panel_buttons, planted_log_link, preview_apply_undo, swap_sorted_down,
                         three_file_cycle, two_rows_one_name)
from session import Session  # noqa: E402
from start_and_list import (filter_and_enter, first_start, folder_argument,  # noqa: E402
                            path_and_enter, restart_restores_settings, tree_click)
from window_manager import panel_above_under_window_manager  # noqa: E402

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
    "LivePreviewTyping": live_preview_typing,
    "PlantedLogLink": planted_log_link,
    "PanelAboveTheWindowUnderOpenbox": panel_above_under_window_manager,
    "CrashDuringUndo": crash_during_undo,
    "DateTakenNames": date_taken_names,
    "TypedNameApplyUndo": typed_name_apply_undo,
    "EditNewNames": edit_new_names,
    "FilesArgument": files_argument,
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
    parser.add_argument("--kill-at-rename",
                        help="the library the crash tests preload to stop a run at a known rename")
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
    if args.kill_at_rename:
        # Read by the crash tests; inherited by the process of each test.
        os.environ["QUORVANE_E2E_KILL_LIBRARY"] = os.path.abspath(args.kill_at_rename)
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
