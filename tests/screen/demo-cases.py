#!/usr/bin/env python3
"""End-to-end runs of the Linux bumpdemo on an X server of their own, driven as a person would.

    demo-cases.py CASE BUMPDEMO WORK_DIR FRAMES_DIR BUMPFRAME

The program runs with its standard input on a pseudo-terminal (so its console key check
sees a real terminal) and its standard output and error in files, under Xvfb on a display
number of its own. The test answers the start-up question by clicking its buttons (or with
Return or Escape), looks at the screen with screenshots and types into the terminal.

CASE is one of:
  windowed        No on a 24-bit screen: the window, placed as the program centres it with a
                  320 x 200 client area, shows the effect's frames exactly (two different
                  ones); a key typed in the terminal ends the run with the report, exit 0
  windowed16      the same on a 16-bit screen, the frames compared in their RGB565 bits
  fullscreen      Return (Yes, the default button): the whole screen shows the frames three
                  times enlarged with black borders; Escape ends it, exit 0, no report, and
                  no window is left
  escape          No, then Escape in the window: exit 0, no report
  cancel          the Cancel button: exit 0, no window, no output
  questionescape  Escape at the question, which is Cancel: the same
  modifiers       No, then Shift, Control and Alt alone: the run goes on; a key typed in
                  the terminal then ends it with the report
  nodisplay       no X server at all: "CreateWindowEx FAILED" on standard error, exit 0
  signals         No, then SIGINT, SIGTERM and SIGHUP in turn while frames are shown: each
                  ends the program by that signal, with its terminal back in the mode it
                  had (echo and line input) and no window left
WORK_DIR keeps what a run leaves: screenshots, the program's output. FRAMES_DIR holds the
reference frames that BUMPFRAME makes. Exit code 77 (skipped) when Xvfb, xdotool,
ImageMagick's import or xwininfo is missing.
"""

import importlib.util
import os
import pty
import re
import shutil
import signal
import subprocess
import sys
import termios
import time

SkipExitCode = 77
Here = os.path.dirname(os.path.abspath(__file__))
QuestionTitle = r"^Do you want\.\.\.$"
OutputTitle = r"^Vortane DirectDraw Handler$"
# Not the stand-in's default desktop (1024 x 768): the program must see the real display.
ScreenSize = (1280, 1024)
FrameWidth, FrameHeight = 320, 200
# The stand-in's window frame and caption: the client area lies this far inside the window.
FrameInset, CaptionHeight = 4, 19

# The frame comparison of the Wine tests, used here as a module too.
_spec = importlib.util.spec_from_file_location(
    "compare_frame", os.path.join(Here, "..", "wine", "compare-frame.py"))
CompareFrame = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(CompareFrame)
CompareFrameScript = _spec.origin

Xvfb = None
Demo = None
Terminal = None  # the pseudo-terminal's master side: what is written there is typed
Environment = dict(os.environ)
Program = Frames = Bumpframe = None  # the paths of bumpdemo, the reference frames, bumpframe


class Failure(Exception):
    pass


def Fail(text):
    raise Failure(text)


def Log(text):
    print(text, flush=True)


def RequireTools():
    missing = [tool for tool in ("Xvfb", "xdotool", "xwininfo", "import") if shutil.which(tool) is None]
    if missing:
        Log(f"SKIPPED: not installed: {' '.join(missing)}")
        sys.exit(SkipExitCode)


def StartDisplay(depth):
    """An X server of the test's own; Xvfb picks a free display number and tells it."""
    global Xvfb
    reader, writer = os.pipe()
    log = open("xvfb.log", "wb")
    Xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(writer), "-screen", "0",
         f"{ScreenSize[0]}x{ScreenSize[1]}x{depth}", "-nolisten", "tcp", "-noreset"],
        pass_fds=[writer], stdout=log, stderr=subprocess.STDOUT)
    os.close(writer)
    number = b""
    deadline = time.monotonic() + 20
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        chunk = os.read(reader, 16)
        if not chunk:
            break
        number += chunk
    os.close(reader)
    if not number.strip():
        Fail(f"Xvfb did not start: {open('xvfb.log').read()}")
    Environment["DISPLAY"] = ":" + number.decode().strip()
    Log(f"X server on {Environment['DISPLAY']}, {ScreenSize[0]}x{ScreenSize[1]}x{depth}")


def X(*command, check=True):
    """Runs an X client on the test's display; returns its standard output."""
    result = subprocess.run(list(command), env=Environment, capture_output=True, text=True,
                            timeout=30)
    if check and result.returncode != 0:
        Fail(f"{' '.join(command)}: {result.stderr.strip()}")
    return result.stdout


def StartDemo(demo):
    """bumpdemo with its standard input on a pseudo-terminal, its output in files."""
    global Demo, Terminal
    Terminal, terminal = pty.openpty()
    Demo = subprocess.Popen([demo], stdin=terminal, stdout=open("out.txt", "wb"),
                            stderr=open("err.txt", "wb"), env=Environment, cwd=os.getcwd(),
                            start_new_session=True)
    os.close(terminal)


def TypeInTerminal(text):
    os.write(Terminal, text)


def WaitForExit(seconds):
    try:
        return Demo.wait(seconds)
    except subprocess.TimeoutExpired:
        Fail(f"bumpdemo did not end within {seconds} seconds")


def Output():
    return open("out.txt", "rb").read(), open("err.txt", "rb").read()


def VisibleWindows(pattern):
    """The ids of the top-level windows shown now whose names match the pattern. (xdotool's
    search misses SDL's windows, whose names are UTF-8 only.)"""
    windows = []
    for line in X("xwininfo", "-root", "-children", check=False).splitlines():
        match = re.match(r'\s*(0x[0-9a-f]+) "(.*)": ', line)
        if match and re.search(pattern, match.group(2)) and \
                "IsViewable" in X("xwininfo", "-id", match.group(1), check=False):
            windows.append(match.group(1))
    return windows


def WaitForWindow(pattern, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if Demo is not None and Demo.poll() is not None:
            Fail(f"bumpdemo ended with {Demo.returncode} while waiting for {pattern}; "
                 f"output {Output()}")
        windows = VisibleWindows(pattern)
        if windows:
            return windows[0]
        time.sleep(0.2)
    Fail(f"no window {pattern} within {seconds} seconds")


def Geometry(window, required=True):
    """(x, y, width, height) of an X window on the screen; None for a window gone, when
    it is not required."""
    fields = {}
    for line in X("xwininfo", "-id", window, check=False).splitlines():
        name, _, value = line.strip().partition(":")
        fields[name] = value.strip()
    if "Width" not in fields:
        if required:
            Fail(f"window {window} is gone")
        return None
    return (int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
            int(fields["Width"]), int(fields["Height"]))


def Screenshot(path, window="root"):
    X("import", "-window", window, "-depth", "8", f"ppm:{path}")
    return CompareFrame.ReadPpm(path)


def FindButtons(box):
    """The centres of the box's buttons, left to right, in screen coordinates. The buttons
    are the groups of columns in the lower half of the box that hold anything but its
    background (the question's text is in the upper half)."""
    width, height, pixels = Screenshot("question.ppm", box)
    left, top, _, _ = Geometry(box)
    rows = range(height // 2, height)
    colours = {}
    for y in rows:
        for x in range(width):
            colour = pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]
            colours[colour] = colours.get(colour, 0) + 1
    background = max(colours, key=colours.get)
    used = [[pixels[(y * width + x) * 3:(y * width + x) * 3 + 3] != background for y in rows]
            for x in range(width)]
    columns = [x for x in range(width) if any(used[x])]
    usedRows = [y for index, y in enumerate(rows) if any(used[x][index] for x in range(width))]
    groups = []
    for x in columns:
        if groups and x == groups[-1][1] + 1:
            groups[-1][1] = x
        else:
            groups.append([x, x])
    middle = (usedRows[0] + usedRows[-1]) // 2 if usedRows else height // 2
    return [(left + (first + last) // 2, top + middle) for first, last in groups]


def AnswerQuestion(button):
    """Clicks the question's button by its place: 0 Yes, 1 No, 2 Cancel."""
    box = WaitForWindow(QuestionTitle, 30)
    buttons = FindButtons(box)
    if len(buttons) != 3:
        Fail(f"the question has {len(buttons)} buttons, not Yes, No and Cancel: {buttons}")
    x, y = buttons[button]
    X("xdotool", "mousemove", str(x), str(y), "click", "1")
    WaitUntilGone(box, 10)


def PressKeysAtQuestion(*keys):
    box = WaitForWindow(QuestionTitle, 30)
    x, y, width, height = Geometry(box)
    X("xdotool", "mousemove", str(x + 2), str(y + 2))
    X("xdotool", "key", "--delay", "50", *keys)
    WaitUntilGone(box, 10)


def WaitUntilGone(window, seconds):
    deadline = time.monotonic() + seconds
    while window in VisibleWindows(".*"):
        if time.monotonic() > deadline:
            Fail(f"window {window} is still on screen after {seconds} seconds")
        time.sleep(0.1)


def PressKeysInWindow(window, *keys):
    """Keys typed with the pointer over the window: the X server's focus follows it."""
    x, y, width, height = Geometry(window)
    X("xdotool", "mousemove", str(x + width // 2), str(y + height // 2))
    time.sleep(0.2)
    X("xdotool", "key", "--delay", "50", *keys)


def MatchingPhase(pixels, stride, x, y, factor, rgb565):
    """The frame phase that the 320 x 200 picture at (x, y) shows, each frame pixel as a
    factor x factor block of equal pixels; None when it shows none."""
    rows = []
    for row in range(FrameHeight):
        line = bytearray()
        for copy in range(factor):
            start = (y + row * factor + copy) * stride + x * 3
            screenRow = pixels[start:start + FrameWidth * factor * 3]
            if factor == 1:
                line = bytearray(screenRow)
                break
            sampled = bytearray()
            for column in range(FrameWidth):
                block = screenRow[column * factor * 3:(column + 1) * factor * 3]
                if block != block[:3] * factor:
                    return None
                sampled += block[:3]
            if copy > 0 and sampled != line:
                return None
            line = sampled
        rows.append(bytes(line))
    mask = None
    if rgb565:
        mask = int.from_bytes(bytes([0xF8, 0xFC, 0xF8] * FrameWidth), "big")
        rows = [CompareFrame.Reduced(row, mask) for row in rows]
    for phase in range(CompareFrame.Phases):
        _, _, frame = CompareFrame.ReadPpm(CompareFrame.FramePath(Frames, phase))
        expected = CompareFrame.Rows(frame, FrameWidth * 3, 0, 0, FrameWidth, FrameHeight)
        if mask is not None:
            expected = [CompareFrame.Reduced(row, mask) for row in expected]
        if expected == rows:
            return phase
    return None


def MakeFrames():
    """The reference frames, made where missing. Tests running side by side may make the
    same frame: each writes its own file and renames it into place."""
    os.makedirs(Frames, exist_ok=True)
    for phase in range(CompareFrame.Phases):
        path = CompareFrame.FramePath(Frames, phase)
        if not os.path.exists(path):
            partial = f"{path}.{os.getpid()}.part"
            subprocess.run([Bumpframe, str(phase), partial], check=True, timeout=60)
            os.replace(partial, path)


def CheckFrames(name, x, y, factor=1, rgb565=False, black_outside=False):
    """Screenshots until the picture at (x, y) has shown two different frames of the effect
    (the first look may catch the window before its first frame); each one is kept."""
    MakeFrames()
    seen = None
    deadline = time.monotonic() + 20
    for count in range(1, 100):
        shot = f"{name}-{count}.ppm"
        width, height, pixels = Screenshot(shot)
        if black_outside:
            CheckBlackOutside(pixels, width, height, x, y, FrameWidth * factor,
                              FrameHeight * factor)
        phase = MatchingPhase(pixels, width * 3, x, y, factor, rgb565)
        Log(f"{shot}: {'frame phase ' + str(phase) if phase is not None else 'no frame'}")
        if phase is not None:
            if seen is None:
                seen = phase
            elif phase != seen:
                return shot
        if time.monotonic() > deadline:
            break
        time.sleep(0.5)
    if factor == 1 and not rgb565:
        # The comparison tool tells the closest frame and the first differing pixel.
        Log(subprocess.run([sys.executable, CompareFrameScript, shot, str(x), str(y),
                            str(FrameWidth), str(FrameHeight), "--frames", Frames],
                           capture_output=True, text=True).stdout.strip())
    Fail("the screen did not show two different frames of the effect")


def CheckBlackOutside(pixels, width, height, x, y, areaWidth, areaHeight):
    for row in range(height):
        line = pixels[row * width * 3:(row + 1) * width * 3]
        if y <= row < y + areaHeight:
            outside = line[:x * 3] + line[(x + areaWidth) * 3:]
        else:
            outside = line
        if any(outside):
            Fail(f"the border is not black in row {row}")


def CheckReport():
    out, err = Output()
    match = re.fullmatch(rb"\r\n\r\nBENCHMARK: (\d+\.\d\d) FPS\r\n", out)
    if match is None:
        Fail(f"the output is not two empty lines and the BENCHMARK line: {out!r}")
    rate = float(match.group(1))
    # 50 ms of waiting per frame: never more than 20 frames a second, and at least one.
    if not 0 < rate <= 20:
        Fail(f"frame rate {rate} outside (0, 20]")
    Log(f"report: BENCHMARK: {match.group(1).decode()} FPS"
        + ("" if rate >= 15 else " (below 15: a busy machine)"))
    if err:
        Fail(f"the program wrote on standard error: {err!r}")


def CheckNoOutput():
    out, err = Output()
    if out or err:
        Fail(f"the program wrote output: {out!r} {err!r}")


def CheckExit(expected, seconds, after):
    code = WaitForExit(seconds)
    if code != expected:
        Fail(f"exit code {code} after {after}, expected {expected}; output {Output()}")


def OpenWindowed():
    """No at the question; the output window's client area is checked and returned."""
    AnswerQuestion(1)
    window = WaitForWindow(OutputTitle, 20)
    x, y, width, height = Geometry(window)
    expected = ((ScreenSize[0] - FrameWidth) // 2 + FrameInset,
                (ScreenSize[1] - FrameHeight) // 2 + FrameInset + CaptionHeight,
                FrameWidth, FrameHeight)
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


def CaseWindowed(depth, rgb565):
    StartDisplay(depth)
    StartDemo(Program)
    window, x, y = OpenWindowed()
    shot = CheckFrames("windowed", x, y, rgb565=rgb565)
    if not rgb565:
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


def CaseFullScreen():
    StartDisplay(24)
    StartDemo(Program)
    PressKeysAtQuestion("Return")
    FullScreenWindow()
    factor = min(ScreenSize[0] // FrameWidth, ScreenSize[1] // FrameHeight)
    x = (ScreenSize[0] - FrameWidth * factor) // 2
    y = (ScreenSize[1] - FrameHeight * factor) // 2
    Log(f"full screen: {factor} times enlarged at ({x},{y})")
    CheckFrames("fullscreen", x, y, factor=factor, black_outside=True)
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
    while Demo.poll() is None:
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
    if Demo.poll() is not None:
        Fail(f"bumpdemo ended after modifier keys alone, exit code {Demo.returncode}")
    CheckNoOutput()
    EndWithTerminalKey(window)


def CaseNoDisplay():
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"):
        Environment.pop(name, None)
    StartDemo(Program)
    CheckExit(0, 20, "running without a display")
    out, err = Output()
    expected = b"Do you want...: Fullscreen?\nError: CreateWindowEx FAILED\n"
    if out or err != expected:
        Fail(f"without a display the output is {out!r} and {err!r}, expected {expected!r} "
             "on standard error")


def TerminalEchoesLines():
    """Whether the pseudo-terminal is in the mode a shell leaves it: echo and line input."""
    flags = termios.tcgetattr(Terminal)[3]
    return flags & termios.ECHO != 0 and flags & termios.ICANON != 0


def CaseSignals():
    global Demo
    StartDisplay(24)
    for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        name = signal.Signals(number).name
        Log(f"--- {name}")
        StartDemo(Program)
        window, _, _ = OpenWindowed()
        time.sleep(1)
        if TerminalEchoesLines():
            Fail("the program did not switch its terminal to key input")
        os.kill(Demo.pid, number)
        code = WaitForExit(10)
        if code != -number:
            Fail(f"after {name} the exit status is {code}, expected death by {name}; "
                 f"output {Output()}")
        if not TerminalEchoesLines():
            Fail(f"after {name} the terminal was not restored")
        if window in VisibleWindows(OutputTitle):
            Fail(f"the output window outlived the program after {name}")
        os.close(Terminal)
        Demo = None


def StopAll():
    for process in (Demo, Xvfb):
        if process is not None and process.poll() is None:
            try:
                os.killpg(process.pid, signal.SIGKILL) if process is Demo else process.kill()
            except ProcessLookupError:
                pass
            process.wait()


def Main():
    global Program, Frames, Bumpframe
    if len(sys.argv) != 6:
        print(__doc__)
        return 2
    case, demo, work, Frames, Bumpframe = sys.argv[1:]
    Program = os.path.abspath(demo)
    Frames = os.path.abspath(Frames)
    Bumpframe = os.path.abspath(Bumpframe)
    if case != "nodisplay":
        RequireTools()
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    os.chdir(work)
    # The test's own X server is the only display the program may find.
    for name in ("WAYLAND_DISPLAY", "SDL_VIDEODRIVER"):
        Environment.pop(name, None)
    cases = {
        "windowed": lambda: CaseWindowed(24, False),
        "windowed16": lambda: CaseWindowed(16, True),
        "fullscreen": CaseFullScreen,
        "escape": CaseEscape,
        "cancel": lambda: CaseCancel(lambda: AnswerQuestion(2)),
        "questionescape": lambda: CaseCancel(lambda: PressKeysAtQuestion("Escape")),
        "modifiers": CaseModifiers,
        "nodisplay": CaseNoDisplay,
        "signals": CaseSignals,
    }
    if case not in cases:
        Log(f"FAILED: unknown case {case}")
        return 2
    try:
        cases[case]()
    except (Failure, OSError, ValueError, subprocess.SubprocessError) as error:
        Log(f"FAILED: {error}")
        return 1
    finally:
        StopAll()
    Log(f"PASSED: {case}")
    return 0


if __name__ == "__main__":
    sys.exit(Main())
