#!/usr/bin/env python3
"""The Windows packages used as a teacher would, under Wine and Xvfb, with real
clicks (xdotool) at the places the windows show their controls at 1024x768:

- the portable folder, unpacked into a folder with a Chinese name, starts and
  shows the mode menu with its Chinese captions;
- 摇号码: through its setup panels to a draw that comes to rest;
- 课堂互动: a person drawn and a score written, found afterwards in the roll
  book by xlrd;
- the installer runs silently, the installed program starts, and the
  uninstaller leaves the teacher's roll book alone.

Run inside a display:  xvfb-run -a -s "-screen 0 1024x768x24" smoke.py ZIP SETUP
"""
import datetime
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

import xlrd

HERE = os.path.dirname(os.path.abspath(__file__))
CACHE = os.environ.get("ZELVANO_WINDOWS_CACHE", os.path.expanduser("~/.cache/zelvano-windows"))
# A prefix of its own: ending its programs must not touch a test run.
ENV = dict(os.environ, WINEPREFIX=os.environ.get("ZELVANO_SMOKE_PREFIX", os.path.join(CACHE, "wine-smoke")),
           WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
ENV.pop("QT_QPA_PLATFORM", None)  # the real Windows platform, on the Xvfb display
SHOTS = os.environ.get("ZELVANO_SMOKE_SHOTS", tempfile.mkdtemp(prefix="zelvano-smoke-shots-"))

# Where the controls are on a 1024x768 screen (the windows open maximised).
MODE_CLASSROOM, MODE_NUMBERS, ENTER = (290, 287), (237, 353), (786, 612)
START = (920, 636)
NUMBER_SETUP_OK = [(716, 588), (776, 610), (726, 400)]  # numbers, groups, timer
CLASSROOM_SETUP_OK = [(666, 388), (785, 573), (736, 452), (726, 312)]  # class, groups, score, timer
WRITE_SCORE = (762, 604)
CAPTIONS = (150, 260, 220, 320)  # x, y, width, height of the five mode captions


def fail(message):
    print("smoke: FAILED:", message, "(screenshots in %s)" % SHOTS)
    sys.exit(1)


def shot(name):
    path = os.path.join(SHOTS, name + ".png")
    subprocess.run(["import", "-window", "root", path], check=True, env=ENV)
    return path


def dark_share(path, box):
    """The share of dark pixels (text) in a box of a screenshot."""
    x, y, w, h = box
    out = subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "-colorspace",
                          "gray", "-threshold", "50%", "-format", "%[fx:1-mean]", "info:"],
                         capture_output=True, text=True, check=True).stdout
    return float(out)


def same_picture(a, b):
    out = subprocess.run(["compare", "-metric", "AE", a, b, "null:"], capture_output=True, text=True)
    return out.stderr.strip() == "0"


def click(point, wait=1.5):
    subprocess.run(["xdotool", "mousemove", str(point[0]), str(point[1]), "click", "1"], check=True)
    time.sleep(wait)


def wine(*args, wait=False):
    command = ["wine", *args]
    if wait:
        return subprocess.run(command, env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return subprocess.Popen(command, env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def end_wine():
    subprocess.run(["wineserver", "-k"], env=ENV)
    time.sleep(1)


def start_program(folder, name):
    os.chdir(folder)
    wine("zelvano.exe")
    deadline = time.time() + 60
    while time.time() < deadline:
        time.sleep(2)
        path = shot(name)
        # Text on the light menu: some dark pixels, not a black screen.
        if 0.01 < dark_share(path, CAPTIONS) < 0.5:
            return path
    fail("the mode menu did not appear with its captions (%s)" % name)


def cells(book):
    sheet = xlrd.open_workbook(book).sheet_by_name("初一(1)班")
    return {(r, c): sheet.cell_value(r, c) for r in range(sheet.nrows) for c in range(sheet.ncols)}


def number_draw(folder):
    start_program(folder, "1-menu")
    click(MODE_NUMBERS, 0.5)
    click(ENTER, 3)
    for point in NUMBER_SETUP_OK:
        click(point, 2)
    before = shot("2-number-ready")
    click(START, 9)
    rest, later = shot("3-number-drawn"), None
    time.sleep(1)
    later = shot("4-number-still")
    if same_picture(before, rest):
        fail("the number window did not draw")
    if not same_picture(rest, later):
        fail("the draw did not come to rest")
    end_wine()
    print("smoke: 摇号码 drew a number and came to rest")


def classroom_score(folder):
    book = os.path.join(folder, "点名册.xls")
    before = cells(book)
    start_program(folder, "5-menu")
    click(MODE_CLASSROOM, 0.5)
    click(ENTER, 3)
    for point in CLASSROOM_SETUP_OK:
        click(point, 2)
    click(START, 9)
    shot("6-person-drawn")
    click(WRITE_SCORE, 3)
    shot("7-score-written")
    end_wine()
    after = cells(book)
    changed = {k: v for k, v in after.items() if before.get(k) != v}
    scores = [k for k, v in changed.items() if v == 5.0 and k[0] > 1]
    today = datetime.date.today()
    headers = [v for k, v in changed.items() if k[0] <= 1]
    if len(scores) != 1:
        fail("expected one score of 5 in 初一(1)班, found changes %r" % changed)
    print("smoke: 课堂互动 wrote a score of 5 at row %d, column %d (new header: %r, today %s)"
          % (scores[0][0] + 1, scores[0][1] + 1, headers, today))


def installer(setup):
    end_wine()
    wine(setup, "/S", wait=True)
    local = subprocess.run(["wine", "cmd", "/c", "echo", "%LOCALAPPDATA%"], env=ENV,
                           capture_output=True, text=True).stdout.strip()
    folder = subprocess.run(["winepath", "-u", local + "\\Programs\\Zelvano"], env=ENV,
                            capture_output=True, text=True).stdout.strip()
    for name in ("zelvano.exe", "点名册.xls", "MSCOMSJK.com", "uninstall.exe",
                 "platforms/qwindows.dll", "translations/qtbase_zh_CN.qm"):
        if not os.path.exists(os.path.join(folder, name)):
            fail("the silent install did not put %s into %s" % (name, folder))
    start_program(folder, "8-installed")
    end_wine()
    wine(os.path.join(folder, "uninstall.exe"), "/S", wait=True)
    time.sleep(3)  # the uninstaller copies itself away and runs from there
    if os.path.exists(os.path.join(folder, "zelvano.exe")):
        fail("the uninstaller left the program")
    if not os.path.exists(os.path.join(folder, "点名册.xls")):
        fail("the uninstaller removed the teacher's roll book")
    shutil.rmtree(folder, ignore_errors=True)
    print("smoke: the installer ran silently, the installed program started, "
          "and the uninstaller kept the roll book")


def main():
    zip_file, setup = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    work = tempfile.mkdtemp(prefix="zelvano-smoke-")
    # A new prefix is made first, so its "please wait" box is gone before
    # any screenshot is read.
    wine("wineboot", "-i", wait=True)
    subprocess.run(["wineserver", "-w"], env=ENV)
    try:
        teacher = os.path.join(work, "王老师")
        with zipfile.ZipFile(zip_file) as z:
            z.extractall(teacher)
        folder = os.path.join(teacher, os.listdir(teacher)[0])
        number_draw(folder)
        classroom_score(folder)
        installer(setup)
    finally:
        end_wine()
        os.chdir(HERE)
        shutil.rmtree(work, ignore_errors=True)
    print("smoke: passed (screenshots in %s)" % SHOTS)


if __name__ == "__main__":
    main()
