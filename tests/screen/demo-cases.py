#!/usr/bin/env python3
"""End-to-end runs of the Linux bumpdemo on an X server of their own, driven as a person would.

    demo-cases.py CASE BUMPDEMO WORK_DIR FRAMES_DIR BUMPFRAME

The program runs with its standard input on a pseudo-terminal (so its console key check
sees a real terminal) and its standard output and error in files, under Xvfb on a display
number of its own (e2e.program drives it). The test answers the start-up question by
clicking its buttons (or with Return or Escape), looks at the screen with screenshots and
types into the terminal.

CASE is one of:
  windowed        No on a 24-bit screen: the window, placed as the program centres it with a
                  320 x 200 client area, shows the effect's frames exactly (two different
                  ones); a key typed in the terminal ends the run with the report, exit 0
  windowed16      the same on a 16-bit screen, the frames compared in their RGB565 bits
  windowed15      the same on a 15-bit screen, in their RGB555 bits (the program tells the
                  5-5-5 desktop from 5-6-5 by the primary surface's red mask)
  fullscreen      Return (Yes, the default button): the whole screen shows the frames three
                  times enlarged with black borders; Escape ends it, exit 0, no report, and
                  no window is left
  escape          No, then Escape in the window: exit 0, no report
  cancel          the Cancel button: exit 0, no window, no output
  questionescape  Escape at the question, which is Cancel: the same
  modifiers       No, then Shift, Control and Alt alone: the run goes on; a key typed in
                  the terminal then ends it with the report
  wmwindow        under a window manager (openbox), No: the window dragged by its title
                  bar shows the frames at its new place and nothing is left at the old
                  one; a drag of its frame's corner leaves its size; a key typed in the
                  terminal ends the run with the report
  wmescape        under a window manager, No, then Escape in the window: exit 0, no report
  signals         No, then SIGINT, SIGTERM and SIGHUP in turn while frames are shown: each
                  ends the program by that signal, with its terminal back in the mode it
                  had (echo and line input) and no window left
  dpi192          No on a 2560 x 1600 desktop at 200 % (Xft.dpi 192): the program sees a
                  1280 x 800 desktop, so its window's client area is 640 x 400, centred on
                  the screen, and shows the frames exactly, each pixel a 2 x 2 block
  dpi144, dpi120  the same at 150 % and 125 %: the window's client area is 640 x 400 (the
                  scale rounds to 2) and 320 x 200 (it rounds to 1)
  wmdpi192        under a window manager at 200 %: the frames in 2 x 2 blocks; the window
                  dragged by its title bar by an odd distance shows them at its new place,
                  where it stays
  deep30          No on a screen of 10-bit channels (depth 30): the program sees a 32-bit
                  desktop and the window shows the frames exactly (each channel the exact
                  widening of the frame's 8 bits)
  deep30full      Return on that screen: the display mode shows the frames exactly, enlarged
                  with black borders
WORK_DIR keeps what a run leaves: screenshots, the program's output. FRAMES_DIR holds the
reference frames that BUMPFRAME makes. Exit code 77 (skipped) when Xvfb, xdotool,
ImageMagick's import or xwininfo is missing (or, for the wm cases, openbox or xprop).
The helpers come from the e2e package in tests/ (on PYTHONPATH).
"""

import os
import signal
import sys
import time

from e2e import frames, program, xscreen
from e2e.program import (AnswerQuestion, CheckBlackOutside, CheckExit, CheckNoOutput, CheckReport,
                         Log, Output, PressKeysAtQuestion, StartDemo, TypeInTerminal,
                         WaitForExit, WaitForWindow)
from e2e.xscreen import Fail, Geometry, PressKeysInWindow, Screenshot, VisibleWindows, X

OutputTitle = r"^Vortane DirectDraw Handler$"
# Not the stand-in's default desktop (1024 x 768): the program must see the real display.
ScreenSize = (1280, 1024)
# The desktop's scale: the stand-in's units are Scale x Scale pixels on screen.
Scale = 1
FrameWidth, FrameHeight = 320, 200
# The stand-in's window frame and caption: the client area lies this far inside the window.
FrameInset, CaptionHeight = 4, 19
WindowManager = None
Environment = xscreen.Environment
Program = Frames = Bumpframe = None  # the paths of bumpdemo, the reference frames, bumpframe


def StartDisplay(depth, size=None, dpi=None, scale=1):
    """The test's X server, with the desktop's scale set to DPI where given (which the
    program shows at the whole factor SCALE)."""
    global ScreenSize, Scale
    ScreenSize = size or ScreenSize
    Scale = scale
    xscreen.StartDisplay(*ScreenSize, depth)
    if dpi is not None:
        xscreen.SetDesktopDpi(dpi)
    Log(f"X server on {Environment['DISPLAY']}, {ScreenSize[0]}x{ScreenSize[1]}x{depth}"
        + (f", Xft.dpi {dpi}" if dpi is not None else ""))


def CheckFrames(name, x, y, factor=1, depth=24, black_outside=False):
    """Screenshots until the picture at (x, y) has shown two different frames of the effect
    (the first look may catch the window before its first frame); each one is kept. On a
    16-bit (15-bit) screen they are compared in the 5-6-5 (5-5-5) bits it keeps; on a
    30-bit one each channel must be the exact widening of the frame's 8 bits."""
    layout = {"rgb565": depth == 16, "rgb555": depth == 15}
    screenshot = xscreen.DeepScreenshot if depth == 30 else Screenshot
    frames.MakeFrames(Frames, Bumpframe)
    seen = None
    deadline = time.monotonic() + 20
    for count in range(1, 100):
        shot = f"{name}-{count}.ppm"
        width, height, pixels = screenshot(shot)
        if black_outside:
            CheckBlackOutside((width, height, pixels), x, y, FrameWidth * factor,
                              FrameHeight * factor)
        rows = frames.SampledRows(pixels, width * 3, x, y, factor)
        phase = frames.MatchingPhase(rows, Frames, **layout) if rows is not None else None
        Log(f"{shot}: {'frame phase ' + str(phase) if phase is not None else 'no frame'}")
        if phase is not None:
            if seen is None:
                seen = phase
            elif phase != seen:
                return shot
        if time.monotonic() > deadline:
            break
        time.sleep(0.5)
    if factor == 1:
        # The closest frame and the first differing pixel tell what went wrong.
        Log(frames.CompareRegion(pixels, width, height, x, y, FrameWidth, FrameHeight, Frames,
                                 **layout)[1])
    Fail("the screen did not show two different frames of the effect")


def OpenWindowed():
    """No at the question; the output window's client area is checked and returned. A
    window manager puts its own frame where the program placed the window's outer corner:
    then only the size is checked. On a scaled desktop the program places the window in
    its units (the screen's size divided by the scale), each Scale pixels on screen."""
    AnswerQuestion(1)
    window = WaitForWindow(OutputTitle, 20)
    x, y, width, height = Geometry(window)
    desktop = (ScreenSize[0] // Scale, ScreenSize[1] // Scale)
    expected = (Scale * ((desktop[0] - FrameWidth) // 2 + FrameInset),
                Scale * ((desktop[1] - FrameHeight) // 2 + FrameInset + CaptionHeight),
                Scale * FrameWidth, Scale * FrameHeight)
    if WindowManager is not None:
        expected = (x, y) + expected[2:]
    if (x, y, width, height) != expected:
        Fail(f"output window client area {width}x{height} at ({x},{y}), expected "
             f"{expected[2]}x{expected[3]} at ({expected[0]},{expected[1]})")
    Log(f"output window client area {width}x{height} at ({x},{y})")
    return window, x, y


def EndWithTerminalKey(window):
    TypeInTerminal(b"x")
    CheckExit(0, 10, "a key in the terminal")
    CheckReport()
    if window in VisibleWindows(OutputTitle):
        Fail("the output window outlived the program")


def CaseWindowed(depth):
    StartDisplay(depth)
    StartDemo(Program)
    window, x, y = OpenWindowed()
    shot = CheckFrames("windowed", x, y, depth=depth)
    if depth == 24:
        X("convert", shot, "-crop", f"{FrameWidth}x{FrameHeight}+{x}+{y}", "+repage",
          "window.png")
    EndWithTerminalKey(window)


def FullScreenWindow():
    """The output window that covers the whole screen. It shows on the desktop for a moment
    before the display mode is set, and SDL may make its X window anew once."""
    deadline = time.monotonic() + 20
    while True:
        windows = [window for window in VisibleWindows(OutputTitle)
                   if Geometry(window, required=False) == (0, 0) + ScreenSize]
        if windows:
            return windows[0]
        if time.monotonic() > deadline:
            Fail(f"no output window covers the whole {ScreenSize} screen")
        time.sleep(0.2)


def CaseFullScreen(depth):
    StartDisplay(depth)
    StartDemo(Program)
    PressKeysAtQuestion("Return")
    FullScreenWindow()
    factor = min(ScreenSize[0] // FrameWidth, ScreenSize[1] // FrameHeight)
    x = (ScreenSize[0] - FrameWidth * factor) // 2
    y = (ScreenSize[1] - FrameHeight * factor) // 2
    Log(f"full screen: {factor} times enlarged at ({x},{y})")
    CheckFrames("fullscreen", x, y, factor=factor, depth=depth, black_outside=True)
    PressKeysInWindow(FullScreenWindow(), "Escape")
    CheckExit(0, 10, "Escape")
    CheckNoOutput()
    if VisibleWindows(".*"):
        Fail("windows are left on the screen after the program ended")


def CaseEscape():
    StartDisplay(24)
    StartDemo(Program)
    window, _, _ = OpenWindowed()
    PressKeysInWindow(window, "Escape")
    CheckExit(0, 10, "Escape in the output window")
    CheckNoOutput()


def CaseCancel(answer):
    StartDisplay(24)
    StartDemo(Program)
    answer()
    deadline = time.monotonic() + 10
    while program.Demo.poll() is None:
        if VisibleWindows(OutputTitle):
            Fail("an output window opened after Cancel")
        if time.monotonic() > deadline:
            Fail("bumpdemo did not end after Cancel")
        time.sleep(0.1)
    CheckExit(0, 1, "Cancel")
    CheckNoOutput()


def CaseModifiers():
    StartDisplay(24)
    StartDemo(Program)
    window, _, _ = OpenWindowed()
    # A terminal sends nothing for a modifier alone; the keys go to the X focus.
    PressKeysInWindow(window, "shift", "ctrl", "alt", "Shift_R", "Control_R")
    time.sleep(2)
    if program.Demo.poll() is not None:
        Fail(f"bumpdemo ended after modifier keys alone, exit code {program.Demo.returncode}")
    CheckNoOutput()
    EndWithTerminalKey(window)


def StartWindowManager():
    global WindowManager
    WindowManager = xscreen.StartWindowManager()
    Log("openbox manages the screen")


def CaseManagedWindow():
    """Under a window manager: the window dragged by its title bar shows the frames at its
    new place and leaves nothing at the old one; dragging its frame's corner leaves its
    size; a key typed in the terminal still ends the run with the report."""
    StartDisplay(24)
    StartWindowManager()
    Screenshot("empty.ppm")
    StartDemo(Program)
    window, x, y = OpenWindowed()
    CheckFrames("placed", x, y)
    # Far enough that the old and the new place do not overlap, even where the window
    # manager stops the window a little short at an edge.
    moved = xscreen.DragByTitleBar(window, 300, 230)
    if moved[2:] != (FrameWidth, FrameHeight) or \
            (abs(moved[0] - x) < FrameWidth and abs(moved[1] - y) < FrameHeight):
        Fail(f"after the drag by (300,230) the client area is {moved}")
    Log(f"dragged by the title bar to ({moved[0]},{moved[1]})")
    CheckFrames("dragged", moved[0], moved[1])
    Screenshot("dragged.ppm")
    xscreen.CheckUncovered("empty.ppm", "dragged.ppm", (x, y, FrameWidth, FrameHeight))
    sized = xscreen.DragCorner(window, 60, 40)
    if sized != moved:
        Fail(f"after a drag of the frame's corner the client area is {sized}, not {moved}")
    Log("the frame's corner dragged: the window kept its size")
    CheckFrames("cornerdragged", moved[0], moved[1])
    EndWithTerminalKey(window)


def CaseManagedEscape():
    """Under a window manager, Escape in the output window (clicked first, as the window
    manager gives the keyboard to the window clicked) ends the run without a report."""
    StartDisplay(24)
    StartWindowManager()
    StartDemo(Program)
    window, _, _ = OpenWindowed()
    PressKeysInWindow(window, "Escape", click=True)
    CheckExit(0, 10, "Escape in the output window")
    CheckNoOutput()


def CaseSignals():
    """SIGINT, SIGTERM and SIGHUP each end a run by that signal, with the terminal restored
    and no window left."""
    StartDisplay(24)
    for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        name = signal.Signals(number).name
        Log(f"--- {name}")
        StartDemo(Program)
        window, _, _ = OpenWindowed()
        deadline = time.monotonic() + 10
        while program.TerminalMode(program.Terminal) != "key":
            if time.monotonic() > deadline:
                Fail("the program did not switch its terminal to key input")
            time.sleep(0.1)
        os.kill(program.Demo.pid, number)
        code = WaitForExit(10)
        if code != -number:
            Fail(f"after {name} the exit status is {code}, expected death by {name}; "
                 f"output {Output()}")
        if program.TerminalMode(program.Terminal) != "line":
            Fail(f"after {name} the terminal was not restored")
        if window in VisibleWindows(OutputTitle):
            Fail(f"the output window outlived the program after {name}")
        os.close(program.Terminal)
        program.Demo = None


def CaseScaled(dpi, scale):
    """No on a desktop scaled to DPI: the window at the whole factor SCALE, centred; at 200 %
    also the frames in its blocks."""
    StartDisplay(24, size=(2560, 1600), dpi=dpi, scale=scale)
    StartDemo(Program)
    window, x, y = OpenWindowed()
    if dpi == 192:
        CheckFrames("scaled", x, y, factor=scale)
    EndWithTerminalKey(window)


def CaseManagedScaled():
    """Under a window manager at 200 %: the frames in 2 x 2 blocks before and after a drag
    by the title bar by an odd distance (the window then lies between two of the program's
    units); it stays where the window manager put it."""
    StartDisplay(24, size=(2560, 1600), dpi=192, scale=2)
    StartWindowManager()
    StartDemo(Program)
    window, x, y = OpenWindowed()
    CheckFrames("placed", x, y, factor=2)
    # Nothing else is near for the window manager to stop it at: it goes all the way.
    moved = xscreen.DragByTitleBar(window, 701, 451)
    if moved != (x + 701, y + 451, 2 * FrameWidth, 2 * FrameHeight):
        Fail(f"after the drag by (701,451) from ({x},{y}) the client area is {moved}")
    Log(f"dragged by the title bar to ({moved[0]},{moved[1]})")
    CheckFrames("dragged", moved[0], moved[1], factor=2)
    time.sleep(1)
    if Geometry(window) != moved:
        Fail(f"the window went on from {moved} to {Geometry(window)} after the drag")
    EndWithTerminalKey(window)


def Main():
    global Program, Frames, Bumpframe
    if len(sys.argv) != 6:
        print(__doc__)
        return 2
    case, demo, work, Frames, Bumpframe = sys.argv[1:]
    Program = os.path.abspath(demo)
    Frames = os.path.abspath(Frames)
    Bumpframe = os.path.abspath(Bumpframe)
    program.RequireTools("Xvfb", "xdotool", "xwininfo", "import",
                         *(("openbox", "xprop") if case.startswith("wm") else ()),
                         *(("xprop",) if "dpi" in case else ()))
    cases = {
        "windowed": lambda: CaseWindowed(24),
        "windowed16": lambda: CaseWindowed(16),
        "windowed15": lambda: CaseWindowed(15),
        "fullscreen": lambda: CaseFullScreen(24),
        "escape": CaseEscape,
        "cancel": lambda: CaseCancel(lambda: AnswerQuestion(2)),
        "questionescape": lambda: CaseCancel(lambda: PressKeysAtQuestion("Escape")),
        "modifiers": CaseModifiers,
        "wmwindow": CaseManagedWindow,
        "wmescape": CaseManagedEscape,
        "signals": CaseSignals,
        "dpi192": lambda: CaseScaled(192, 2),
        "dpi144": lambda: CaseScaled(144, 2),
        "dpi120": lambda: CaseScaled(120, 1),
        "wmdpi192": CaseManagedScaled,
        "deep30": lambda: CaseWindowed(30),
        "deep30full": lambda: CaseFullScreen(30),
    }
    return program.RunCase(cases, case, work)


if __name__ == "__main__":
    sys.exit(Main())
