#!/usr/bin/env python3
"""End-to-end runs of the Linux bumpdemo on X screens of other depths, and how a failure
box ends it, driven as a person would.

    depth-cases.py CASE BUMPDEMO WORK_DIR FRAMES_DIR BUMPFRAME

The program runs as in demo-cases.py: standard input on a pseudo-terminal, standard output
and error in files (a question asked on the terminal is written to standard error), under
Xvfb at the case's depth on a display number of its own.

CASE is one of:
  windowed15  No on a 15-bit (5-5-5) screen: the window shows the effect's frames exactly
              in the bits such a screen keeps (two different ones); a key typed in the
              terminal ends the run with the report, exit 0
  windowed8   No on an 8-bit screen (palette entries), where SDL's box cannot be read: the
              question is asked on the terminal instead, and no box window shows; after
              No a box on the terminal names the depth ("Display depth FAILED (8 bits)");
              Return ends the program with exit code 1, no report
  failurebox  Yes on an 8-bit screen, which offers no display mode: "SetDisplayMode
              FAILED"; Return ends the program with exit code 1, through its finalisers
              (the terminal is back in line mode with echo), no report, no window left
WORK_DIR keeps what a run leaves: screenshots, the program's output. FRAMES_DIR holds the
reference frames that BUMPFRAME makes. Exit code 77 (skipped) when Xvfb, xdotool,
ImageMagick's import or xwininfo is missing. The helpers come from the e2e package in
tests/ (on PYTHONPATH).
"""

import os
import re
import sys
import termios
import time

from e2e import frames, program, xscreen
from e2e.program import AnswerQuestion, Output, StartDemo, TypeInTerminal, WaitForExit
from e2e.xscreen import Fail, Geometry, Screenshot, VisibleWindows

OutputTitle = r"^Vortane DirectDraw Handler$"
QuestionTitle = program.QuestionTitle
ScreenSize = (1280, 1024)
FrameWidth, FrameHeight = 320, 200
# The question and the failure boxes as the terminal shows them, caption first.
Question = b"Do you want...: Fullscreen?\n[y] Yes, [n] No, [c] Cancel? "
Xvfb = None
Program = Frames = Bumpframe = None  # the paths of bumpdemo, the reference frames, bumpframe


def Log(text):
    print(text, flush=True)


def StartDisplay(depth):
    global Xvfb
    Xvfb = xscreen.StartDisplay(*ScreenSize, depth)
    Log(f"X server on {xscreen.Environment['DISPLAY']}, "
        f"{ScreenSize[0]}x{ScreenSize[1]}x{depth}")


def TerminalEchoesLines():
    """Whether the pseudo-terminal is in the mode a shell leaves it: echo and line input."""
    flags = termios.tcgetattr(program.Terminal)[3]
    return flags & termios.ECHO != 0 and flags & termios.ICANON != 0


def WaitForError(expected, seconds=20):
    """Waits until standard error reads exactly EXPECTED (what the terminal shows)."""
    deadline = time.monotonic() + seconds
    while Output()[1] != expected:
        if program.Demo.poll() is not None or time.monotonic() > deadline:
            Fail(f"standard error is {Output()[1]!r}, expected {expected!r}; exit code "
                 f"{program.Demo.returncode}")
        time.sleep(0.1)
    Log(f"on the terminal: {expected.decode()!r}")


def CheckFailureEnd(expected):
    """Return answers the failure box on the terminal: exit code 1 through the finalisers
    (the terminal restored), no report, no window left."""
    TypeInTerminal(b"\r")
    code = WaitForExit(10)
    if code != 1:
        Fail(f"exit code {code} after the failure box, expected 1; output {Output()}")
    out, err = Output()
    if out or err != expected + b"\n":
        Fail(f"the output is {out!r} and {err!r}, expected nothing and {expected!r}")
    if not TerminalEchoesLines():
        Fail("the terminal was not restored: the finalisers did not run")
    if VisibleWindows(".*"):
        Fail("windows are left on the screen after the program ended")
    Log("exit code 1, the terminal restored, no window left")


def CaseWindowed15():
    StartDisplay(15)
    StartDemo(Program)
    AnswerQuestion(1)
    window = program.WaitForWindow(OutputTitle, 20)
    x, y, width, height = Geometry(window)
    if (width, height) != (FrameWidth, FrameHeight):
        Fail(f"output window client area {width}x{height}")
    # Screenshots until two different frames were seen (the first look may come before the
    # first frame); 5-6-5 pixels on this screen would match none.
    frames.MakeFrames(Frames, Bumpframe)
    seen = None
    deadline = time.monotonic() + 20
    count = 0
    while True:
        count += 1
        shot = f"windowed15-{count}.ppm"
        shotWidth, shotHeight, pixels = Screenshot(shot)
        rows = frames.SampledRows(pixels, shotWidth * 3, x, y, 1)
        phase = frames.MatchingPhase(rows, Frames, rgb555=True)
        Log(f"{shot}: {'frame phase ' + str(phase) if phase is not None else 'no frame'}")
        if phase is not None and seen is not None and phase != seen:
            break
        seen = phase if phase is not None else seen
        if time.monotonic() > deadline:
            Log(frames.CompareRegion(pixels, shotWidth, shotHeight, x, y, width, height, Frames,
                                     rgb555=True)[1])
            Fail("the window did not show two different frames of the effect in 5-5-5")
        time.sleep(0.5)
    TypeInTerminal(b"x")
    code = WaitForExit(10)
    out, err = Output()
    if code != 0 or not re.fullmatch(rb"\r\n\r\nBENCHMARK: \d+\.\d\d FPS\r\n", out) or err:
        Fail(f"after a key in the terminal: exit code {code}, output {out!r} {err!r}")
    Log(f"report: {out.strip().decode()}, exit code 0")


def CaseWindowed8():
    StartDisplay(8)
    StartDemo(Program)
    WaitForError(Question)
    if VisibleWindows(QuestionTitle):
        Fail("a question box shows on the 8-bit screen as well")
    TypeInTerminal(b"n")
    expected = Question + b"\nError: Display depth FAILED (8 bits)\n[Return] OK? "
    WaitForError(expected)
    CheckFailureEnd(expected)


def CaseFailureBox():
    StartDisplay(8)
    StartDemo(Program)
    WaitForError(Question)
    TypeInTerminal(b"y")
    expected = Question + b"\nError: SetDisplayMode FAILED\n[Return] OK? "
    WaitForError(expected)
    CheckFailureEnd(expected)


def Main():
    global Program, Frames, Bumpframe
    if len(sys.argv) != 6:
        print(__doc__)
        return 2
    case, demo, work, Frames, Bumpframe = sys.argv[1:]
    Program = os.path.abspath(demo)
    Frames = os.path.abspath(Frames)
    Bumpframe = os.path.abspath(Bumpframe)
    program.RequireTools("Xvfb", "xdotool", "xwininfo", "import")
    cases = {
        "windowed15": CaseWindowed15,
        "windowed8": CaseWindowed8,
        "failurebox": CaseFailureBox,
    }

    def StopAll():
        program.StopDemo()
        if Xvfb is not None and Xvfb.poll() is None:
            Xvfb.kill()
            Xvfb.wait()
    return program.RunCase(cases, case, work, StopAll)


if __name__ == "__main__":
    sys.exit(Main())
