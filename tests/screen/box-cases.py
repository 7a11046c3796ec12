#!/usr/bin/env python3
"""The Linux bumpdemo's message box on an X server of its own, at the desktop's scale.

    box-cases.py CASE BUMPDEMO WORK_DIR

CASE is one of:
  scaled   the question at 96 dpi, then on a desktop at 200 % (Xft.dpi 192 in the X
           server's resources, as GNOME, KDE and Xfce set it): the box is exactly twice
           as wide and high, its three buttons are found twice as far into it, and a
           click on No answers it (the output window opens; a key typed in the terminal
           ends the run, exit 0)
  inactive under a window manager (openbox), another program's window clicked while the
           question waits: one click on No, which brings the box to the front, also answers
           it, as on Windows (the output window opens)
WORK_DIR keeps what a run leaves: the boxes' screenshots (question-96.png and
question-192.png), the program's output. Exit code 77 (skipped) when Xvfb, xdotool,
xwininfo, xprop or ImageMagick is missing (openbox or xmessage, for inactive). The helpers
come from the e2e package in tests/ (on PYTHONPATH).
"""

import os
import subprocess
import sys

from e2e import program, xscreen
from e2e.program import (CheckExit, FindButtons, Log, PressKeysAtQuestion, QuestionTitle,
                         StartDemo, TypeInTerminal, WaitForWindow)
from e2e.xscreen import Fail, Geometry, X

OutputTitle = r"^Vortane DirectDraw Handler$"
ScreenSize = (1280, 1024)
Program = None


def SetDesktopDpi(dpi):
    """Xft.dpi in the X server's resource database (what xrdb -merge writes there)."""
    X("xprop", "-root", "-f", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER",
      f"Xft.dpi:\t{dpi}\n")


def Question(dpi):
    """Starts the program and looks at its question: (box, geometry, buttons relative to
    the box's corner); the box's picture is kept as question-DPI.png."""
    StartDemo(Program)
    box = WaitForWindow(QuestionTitle, 30)
    geometry = Geometry(box)
    buttons = FindButtons(box)
    X("convert", "question.ppm", f"question-{dpi}.png")
    relative = [(x - geometry[0], y - geometry[1]) for x, y in buttons]
    Log(f"{dpi} dpi: box {geometry[2]}x{geometry[3]}, buttons at {relative}")
    if len(buttons) != 3:
        Fail(f"at {dpi} dpi the question has {len(buttons)} buttons, not Yes, No and Cancel")
    return box, geometry, buttons, relative


def ClickNoThenEnd(box, buttons, what):
    """One click on No answers the box; the output window opens, and a key typed in the
    terminal ends the run."""
    x, y = buttons[1]
    X("xdotool", "mousemove", str(x), str(y), "click", "1")
    xscreen.WaitUntilGone(box, 10)
    WaitForWindow(OutputTitle, 20)
    TypeInTerminal(b"x")
    CheckExit(0, 10, what)


def CaseScaled():
    xscreen.StartDisplay(*ScreenSize, 24)
    _, plain, _, plainButtons = Question(96)
    PressKeysAtQuestion("Escape")
    CheckExit(0, 10, "Escape at the question")
    SetDesktopDpi(192)
    box, scaled, buttons, scaledButtons = Question(192)
    if scaled[2:] != (2 * plain[2], 2 * plain[3]):
        Fail(f"at 192 dpi the box is {scaled[2]}x{scaled[3]}, not twice {plain[2]}x{plain[3]}")
    # The centres found are whole pixels: a column or row more or less when doubled.
    for (x1, y1), (x2, y2) in zip(plainButtons, scaledButtons):
        if abs(x2 - 2 * x1) > 2 or abs(y2 - 2 * y1) > 2:
            Fail(f"a button at {(x2, y2)} in the scaled box, not twice {(x1, y1)}")
    ClickNoThenEnd(box, buttons, "No, then a key in the terminal")


def CaseInactive():
    """The box has lost the keyboard to another program's window when it is clicked."""
    xscreen.StartDisplay(*ScreenSize, 24)
    xscreen.StartWindowManager()
    box, _, buttons, _ = Question(96)
    xscreen.Started(subprocess.Popen(["xmessage", "-geometry", "+0+0", "another program"],
                                     env=xscreen.Environment, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL))
    elsewhere = xscreen.WaitForWindow("^xmessage$", 10)
    x, y, _, _ = Geometry(elsewhere)
    X("xdotool", "mousemove", str(x + 4), str(y + 4), "click", "1")
    xscreen.ActiveWindowBecomes(elsewhere, 10)
    Log("another program's window has the keyboard")
    ClickNoThenEnd(box, buttons, "one click on No, then a key in the terminal")


def Main():
    global Program
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    case, demo, work = sys.argv[1:]
    Program = os.path.abspath(demo)
    program.RequireTools("Xvfb", "xdotool", "xwininfo", "xprop", "import", "convert",
                         *(("openbox", "xmessage") if case == "inactive" else ()))
    cases = {"scaled": CaseScaled, "inactive": CaseInactive}
    return program.RunCase(cases, case, work)


if __name__ == "__main__":
    sys.exit(Main())
