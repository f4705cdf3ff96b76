"""The "Date/Time" page in the real window: three photos whose EXIF dates
exiftool wrote are named after the day each was taken."""

import os
import shutil
import subprocess

from accessible import find
from desktop import wait_for
from session import PANELS_OUT_OF_THE_WAY, SUMMARY_OK, box_text, check, equal, wait_equal

PLAIN_PHOTO = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "photo",
                           "fixtures", "plain.jpg")
TAKEN = {"IMG_0001.jpg": "2021:07:04 09:08:07", "IMG_0002.jpg": "2022:01:15 18:30:00",
         "DSC_4711.jpg": "2023:03:09 07:00:59"}


def dated_photos(s):
    folder = os.path.join(s.root, "work", "photos")
    os.makedirs(folder)
    for name, taken in TAKEN.items():
        path = os.path.join(folder, name)
        shutil.copy(PLAIN_PHOTO, path)
        subprocess.run(["exiftool", "-q", "-q", "-overwrite_original",
                        "-DateTimeOriginal=" + taken, path], check=True)
    return folder


def date_taken_names(s):
    """"Date taken", the format "%Y-%m-%d" typed in, "Instead of the name"
    clicked: Preview shows each photo's day in "New Name", Apply renames."""
    folder = dated_photos(s)
    s.write_options(dict(PANELS_OUT_OF_THE_WAY, Main={"Favorite": folder}))
    s.start()
    s.wait_listed(list(TAKEN), "the photos")
    panel = s.panel("File Renaming Panel")
    s.click(find(panel, "page tab", "Date/Time"))
    wait_equal(lambda: find(panel, "page tab list").name, "Date/Time", "the current page")
    # "Date taken" is the page's first choice.
    format_box = next(c for c in find(panel, "combo box", "Format :").children()
                      if c.role == "text")
    s.type_into(format_box, "%Y-%m-%d", window="File Renaming Panel")
    instead = find(panel, "radio button", "Instead of the name")
    s.click(instead)
    wait_for(lambda: instead.checked, "Instead of the name to be chosen")

    preview, apply = (s.tool_button(n) for n in ("Preview", "Apply"))
    wait_for(lambda: preview.enabled, "Preview to be available")
    preview.action("Press")
    dated = sorted(taken[:10].replace(":", "-") + ".jpg" for taken in TAKEN.values())
    wait_equal(lambda: s.listed(1), dated, "the days the photos were taken")
    wait_for(lambda: apply.enabled, "Apply to be available after Preview")
    apply.action("Press", opens_box=True)
    box = s.program.message_box()
    check(SUMMARY_OK in box_text(box), "the summary: %r" % box_text(box))
    s.program.answer(box, "OK")
    wait_equal(lambda: sorted(os.listdir(folder)), dated, "the photos on disk after Apply")
