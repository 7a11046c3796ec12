"""The Linux bumpdemo driven as a person would: started with its standard input on a
pseudo-terminal (so its console key check sees a real terminal) and its output in
out.txt and err.txt, the start-up question answered by clicking its buttons or with keys,
keys typed into its terminal, and how it ended checked (exit code, output, report).
Shared by the end-to-end cases and the frame-rate measurement of bench/."""

import os
import pty
import re
import shutil
import signal
import subprocess
import sys
import termios
import time

from . import xscreen
from .xscreen import Fail, Geometry, Screenshot, X

QuestionTitle = r"^Do you want\.\.\.$"

Demo = None  # the program's process
Terminal = None  # the pseudo-terminal's master side: what is written there is typed


def StartDemo(demo, closed=(), environment=None):
    """bumpdemo with its standard input on a pseudo-terminal, its output in files, in a
    session of its own; the standard descriptors in closed (0, 1, 2) it starts without. Its
    environment is the X clients' unless one is given."""
    global Demo, Terminal
    Terminal, terminal = pty.openpty()

    def CloseDescriptors():
        for descriptor in closed:
            os.close(descriptor)
    Demo = subprocess.Popen([demo], stdin=terminal, stdout=open("out.txt", "wb"),
                            stderr=open("err.txt", "wb"),
                            env=xscreen.Environment if environment is None else environment,
                            cwd=os.getcwd(), start_new_session=True,
                            preexec_fn=CloseDescriptors if closed else None)
    os.close(terminal)


def TerminalMode(terminal):
    """'line' when the terminal echoes and reads whole lines, as a shell leaves it; 'key'
    when it does neither, as the program's run has it; else 'mixed'."""
    flags = termios.tcgetattr(terminal)[3]
    echo, lines = flags & termios.ECHO != 0, flags & termios.ICANON != 0
    return "line" if echo and lines else "key" if not echo and not lines else "mixed"


def ProcessesLeft(session):
    """The processes still in the session (a program started by StartDemo leads its own)."""
    left = []
    for name in os.listdir("/proc"):
        try:
            with open(f"/proc/{name}/stat") as stat:
                # The fields after the command's name, which is in parentheses.
                fields = stat.read().rsplit(")", 1)[1].split()
        except (OSError, IndexError):
            continue
        # state, parent, process group, session; a zombie is already gone but for its
        # parent's wait.
        if int(fields[3]) == session and fields[0] != "Z":
            left.append(int(name))
    return left


def StopDemo():
    """Ends the program and whatever it started, if it still runs."""
    if Demo is not None and Demo.poll() is None:
        try:
            os.killpg(Demo.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        Demo.wait()


def TypeInTerminal(text):
    os.write(Terminal, text)


def WaitForExit(seconds):
    try:
        return Demo.wait(seconds)
    except subprocess.TimeoutExpired:
        Fail(f"bumpdemo did not end within {seconds} seconds")


def Output():
    return open("out.txt", "rb").read(), open("err.txt", "rb").read()


def Log(text):
    print(text, flush=True)


def CheckExit(expected, seconds, after):
    """The program ends within SECONDS with the exit code expected AFTER what was done."""
    code = WaitForExit(seconds)
    if code != expected:
        Fail(f"exit code {code} after {after}, expected {expected}; output {Output()}")


def CheckNoOutput():
    out, err = Output()
    if out or err:
        Fail(f"the program wrote output: {out!r} {err!r}")


def CheckReport():
    """The output is two empty lines and the BENCHMARK line alone, at a rate a run with a
    50 ms wait a frame can reach; nothing on standard error."""
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


def CheckBlackOutside(shot, x, y, areaWidth, areaHeight, corner=0):
    """Every pixel of the picture (width, height, pixels) outside the area is black, but
    for the square of CORNER pixels at its bottom-right corner (where a pointer shows)."""
    width, height, pixels = shot
    for row in range(height):
        line = pixels[row * width * 3:(row + 1) * width * 3]
        if corner and row >= height - corner:
            line = line[:-corner * 3]
        if y <= row < y + areaHeight:
            outside = line[:x * 3] + line[(x + areaWidth) * 3:]
        else:
            outside = line
        if any(outside):
            Fail(f"the border is not black in row {row}")


def CheckLostDisplayEnd(display, what):
    """After the display named went (WHAT says when): the program said so in one line and
    ended with exit code 1, its terminal back in line mode and no process of it left."""
    try:
        code = Demo.wait(10)
    except subprocess.TimeoutExpired:
        Fail(f"bumpdemo did not end within 10 seconds after its display went {what}")
    err = Output()[1]
    name = os.path.basename(Demo.args[0])
    expected = f"{name}: lost the connection to the display {display}\n".encode()
    if code != 1 or err != expected:
        Fail(f"display lost {what}: exit {code}, standard error {err!r}; expected exit 1 and "
             f"{expected!r}")
    if TerminalMode(Terminal) != "line":
        Fail(f"display lost {what}: the terminal was left in {TerminalMode(Terminal)} mode")
    CheckNoProcessLeft(Demo.pid, f"after its display went {what}")


def CheckNoProcessLeft(session, what):
    """No process of the program's session remains, within 10 seconds."""
    deadline = time.monotonic() + 10
    while ProcessesLeft(session):
        if time.monotonic() > deadline:
            Fail(f"processes {ProcessesLeft(session)} outlived the program {what}")
        time.sleep(0.1)


def WaitForWindow(pattern, seconds):
    def StillRunning():
        if Demo is not None and Demo.poll() is not None:
            Fail(f"bumpdemo ended with {Demo.returncode} while waiting for {pattern}; "
                 f"output {Output()}")
    return xscreen.WaitForWindow(pattern, seconds, StillRunning)


def FindButtons(box, count=3, seconds=10):
    """The centres of the box's COUNT buttons, left to right, in screen coordinates. The
    buttons are the groups of columns in the lower half of the box that hold anything but
    its background (the question's text is in the upper half). The box is shown before
    it is drawn: it is looked at again until it shows COUNT buttons, for up to SECONDS."""
    deadline = time.monotonic() + seconds
    while True:
        width, height, pixels = Screenshot("question.ppm", box)
        left, top, _, _ = Geometry(box)
        buttons = ButtonCentres(width, height, pixels, left, top)
        if len(buttons) == count or time.monotonic() > deadline:
            return buttons
        time.sleep(0.1)


def ButtonCentres(width, height, pixels, left=0, top=0):
    """The centres of the buttons on a picture of a box (width x height, RGB), left to
    right, with the picture's top-left corner at (left, top)."""
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
    xscreen.WaitUntilGone(box, 10)


def PressKeysAtQuestion(*keys):
    box = WaitForWindow(QuestionTitle, 30)
    x, y, width, height = Geometry(box)
    X("xdotool", "mousemove", str(x + 2), str(y + 2))
    X("xdotool", "key", "--delay", "50", *keys)
    xscreen.WaitUntilGone(box, 10)


SkipExitCode = 77  # CTest's SKIP_RETURN_CODE for the end-to-end cases


def RequireTools(*tools):
    """Ends the case as skipped, naming what is missing, when a tool is not installed."""
    missing = [tool for tool in tools if shutil.which(tool) is None]
    if missing:
        print(f"SKIPPED: not installed: {' '.join(missing)}", flush=True)
        sys.exit(SkipExitCode)


def RunCase(cases, case, work, stop=lambda: None):
    """Runs the case named from cases (name -> function) in a fresh folder WORK, with the
    test's own X server the only display the program may find, and its settings the only
    desktop scale (none of the person's GDK_SCALE). Whatever happened, the program, then
    what stop ends, then the servers and programs the case started end. Prints PASSED or
    FAILED with the reason, and returns the exit code: 0, 1 when it failed, 2 when there is
    no such case."""
    if case not in cases:
        print(f"FAILED: unknown case {case}", flush=True)
        return 2
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    os.chdir(work)
    for name in ("WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "GDK_SCALE"):
        xscreen.Environment.pop(name, None)
    try:
        cases[case]()
    except (xscreen.Failure, OSError, ValueError, subprocess.SubprocessError) as error:
        print(f"FAILED: {error}", flush=True)
        return 1
    finally:
        StopDemo()
        stop()
        xscreen.StopStarted()
    print(f"PASSED: {case}", flush=True)
    return 0
