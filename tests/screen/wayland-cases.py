#!/usr/bin/env python3
"""End-to-end runs of the Linux bumpdemo on a Wayland desktop of its own, without X: weston
in a window of the test's X server, the program started with WAYLAND_DISPLAY naming weston's
socket and DISPLAY unset (e2e.wayland), driven as a person would.

    wayland-cases.py CASE BUMPDEMO WORK_DIR FRAMES_DIR BUMPFRAME

The question is answered as on X: No by clicking its middle button, found on a screenshot,
Yes with Return, Cancel with Escape.

CASE is one of:
  question    the question shows on weston's desktop: Escape (Cancel) ends the program, exit
              0, no output, nothing left on the desktop
  windowed    No: the window on weston's desktop shows the effect's frames exactly (two
              different ones); a key typed in the terminal ends the run with the report,
              exit 0, and the window goes
  fullscreen  Yes: weston's whole output shows the frames enlarged by the largest whole
              factor, black around; Escape ends the run, exit 0, no output, nothing left
  escape      No, then Escape in the window: exit 0, no output
  lost        weston killed during the windowed and the full-screen animation, and at the
              question where it shows: one line on standard error that the display
              (WAYLAND_DISPLAY's name) was lost, exit 1, the terminal back in line mode, no
              process of the program left
WORK_DIR keeps what a run leaves. FRAMES_DIR holds the reference frames that BUMPFRAME makes.
Exit code 77 (skipped) when weston, Xvfb, xdotool, xwininfo or ImageMagick's import is
missing. The helpers come from the e2e package in tests/ (on PYTHONPATH).
"""

import os
import sys
import time

from e2e import frames, program, wayland, xscreen
from e2e.program import (CheckBlackOutside, CheckExit, CheckNoOutput, CheckReport, Log, Output,
                         StartDemo, TypeInTerminal)
from e2e.xscreen import Fail, X

ScreenSize = (1280, 1024)
OutputSize = (1024, 768)
FrameWidth, FrameHeight = frames.FrameWidth, frames.FrameHeight
# The question's answers: No by its button, Yes by Return.
IDYES, IDNO = 6, 7
Xvfb = None
Program = Frames = Bumpframe = None


def StartDesktop():
    global Xvfb
    if Xvfb is None:
        Xvfb = xscreen.StartDisplay(*ScreenSize, 24)
    wayland.StartCompositor(*OutputSize)
    Log(f"weston on {xscreen.Environment['DISPLAY']}, output {OutputSize[0]}x{OutputSize[1]}, "
        f"socket {wayland.SocketName}")


def StartProgram():
    StartDemo(Program, environment=wayland.ProgramEnvironment())


def WaitForQuestion():
    """The question's box on weston's desktop: (x, y, width, height) and the screenshot."""
    found = wayland.WaitForBox()
    if found is None:
        Fail(f"the program ended with {program.Demo.returncode} before its question showed; "
             f"output {Output()}")
    return found


def StartAnswered(answer):
    """Starts bumpdemo and answers the question: IDNO by its middle button, IDYES with
    Return."""
    StartProgram()
    box, shot = WaitForQuestion()
    Log(f"the question's box at {box}")
    if answer == IDNO:
        wayland.ClickButton(box, shot, 1)
    else:
        wayland.PressKeys("Return")


def WaitForFrames(name, factor=1):
    """Screenshots until one place of weston's output has shown two different frames of the
    effect; returns that place. Unenlarged, the frames are looked for anywhere (weston
    places a window where it likes); enlarged, in the middle of the output, with black
    around."""
    frames.MakeFrames(Frames, Bumpframe)
    width, height = OutputSize
    middle = ((width - FrameWidth * factor) // 2, (height - FrameHeight * factor) // 2)
    seen = place = None
    deadline = time.monotonic() + 20
    count = 0
    while time.monotonic() < deadline:
        if program.Demo.poll() is not None:
            Fail(f"the program ended with {program.Demo.returncode} before its frames showed; "
                 f"output {Output()}")
        count += 1
        shot = wayland.OutputShot(f"{name}-{count}.ppm")
        if factor == 1:
            found = wayland.FindFrame(shot, Frames)
        else:
            rows = frames.SampledRows(shot[2], width * 3, *middle, factor)
            phase = frames.MatchingPhase(rows, Frames) if rows is not None else None
            found = None if phase is None else middle + (phase,)
        shown = f"frame phase {found[2]} at ({found[0]},{found[1]})" if found else "no frame"
        Log(f"{name}-{count}: {shown}")
        if found is not None:
            if factor != 1:
                CheckBlackOutside(shot, *middle, FrameWidth * factor, FrameHeight * factor,
                                  wayland.PointerCorner)
            if place is None or found[:2] != place:
                place, seen = found[:2], found[2]
            elif found[2] != seen:
                return place
        time.sleep(0.5)
    Fail("weston's output did not show two different frames of the effect in one place")


def CaseQuestion():
    StartDesktop()
    StartProgram()
    WaitForQuestion()
    wayland.PressKeys("Escape")
    CheckExit(0, 10, "Escape at the question")
    CheckNoOutput()
    wayland.WaitUntilEmpty()


def CaseWindowed():
    StartDesktop()
    StartAnswered(IDNO)
    x, y = WaitForFrames("windowed")
    Log(f"the window shows the frames at ({x},{y}) of weston's output")
    TypeInTerminal(b"x")
    CheckExit(0, 10, "a key in the terminal")
    CheckReport()
    wayland.WaitUntilEmpty()


def CaseFullScreen():
    StartDesktop()
    StartAnswered(IDYES)
    factor = min(OutputSize[0] // FrameWidth, OutputSize[1] // FrameHeight)
    WaitForFrames("fullscreen", factor)
    Log(f"the output shows the frames {factor} times enlarged")
    wayland.PressKeys("Escape")
    CheckExit(0, 10, "Escape")
    CheckNoOutput()
    wayland.WaitUntilEmpty()


def CaseEscape():
    StartDesktop()
    StartAnswered(IDNO)
    x, y = WaitForFrames("escape")
    # A click gives the window weston's keyboard focus.
    X("xdotool", "mousemove", str(wayland.Output[0] + x + FrameWidth // 2),
      str(wayland.Output[1] + y + FrameHeight // 2), "click", "1")
    wayland.PressKeys("Escape")
    CheckExit(0, 10, "Escape in the window")
    CheckNoOutput()


def CheckLost(what):
    """Kills weston: the program must say so in one line and end with exit code 1, its
    terminal back in line mode and nothing of it left."""
    wayland.KillCompositor()
    program.CheckLostDisplayEnd(wayland.SocketName, what)
    wayland.StopCompositor()


def CaseLost():
    Log("--- during the windowed animation")
    StartDesktop()
    StartAnswered(IDNO)
    WaitForFrames("lostwindowed")
    CheckLost("during the windowed animation")
    Log("--- during the full-screen animation")
    StartDesktop()
    StartAnswered(IDYES)
    WaitForFrames("lostfullscreen", min(OutputSize[0] // FrameWidth, OutputSize[1] // FrameHeight))
    CheckLost("during the full-screen animation")
    Log("--- at the question")
    StartDesktop()
    StartProgram()
    WaitForQuestion()
    CheckLost("at the question")


def Main():
    global Program, Frames, Bumpframe
    if len(sys.argv) != 6:
        print(__doc__)
        return 2
    case, demo, work, frameFolder, bumpframe = sys.argv[1:]
    Program = os.path.abspath(demo)
    Frames, Bumpframe = os.path.abspath(frameFolder), os.path.abspath(bumpframe)
    program.RequireTools("weston", "Xvfb", "xdotool", "xwininfo", "import")
    cases = {
        "question": CaseQuestion,
        "windowed": CaseWindowed,
        "fullscreen": CaseFullScreen,
        "escape": CaseEscape,
        "lost": CaseLost,
    }
    return program.RunCase(cases, case, work, wayland.StopCompositor)


if __name__ == "__main__":
    sys.exit(Main())
