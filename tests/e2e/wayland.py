"""The test's own Wayland desktop: weston in a window of the test's X server (weston's X11
backend with pixman's renderer), so that a screenshot of the X server shows what weston
shows. Weston runs with a configuration of the test's own: a plain background colour, no
panel, no animations, no screen blanking; its socket is in a runtime folder of the test's
own (mode 0700), and the program runs with WAYLAND_DISPLAY naming it and DISPLAY unset.

Weston places a new window where it likes: the helpers find the program's windows on the
screenshots, a box as what differs from the background, the output window's frames by
their pixels. Weston draws its pointer into its output: the pointer is kept in the output's
bottom-right corner (the few pixels of it there are painted over) while screenshots are
taken, which also keeps the X server's keyboard focus on weston's window, so that xdotool's
keys reach weston.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time

from . import frames, program, xscreen
from .xscreen import Fail, X

Background = bytes.fromhex("305070")
Settings = """[core]
idle-time=0

[shell]
background-image=
background-color=0xff305070
panel-position=none
locking=false
animation=none
close-animation=none
startup-animation=none
focus-animation=none
"""
SocketName = "wayland-bumpdemo"

Weston = None  # weston's process
RuntimeFolder = None
Output = None  # (x, y, width, height) of weston's output on the X screen


def ProgramEnvironment():
    """The program's environment: the compositor's socket named, no X display."""
    environment = dict(xscreen.Environment)
    environment.pop("DISPLAY", None)
    environment.update(WAYLAND_DISPLAY=SocketName, XDG_RUNTIME_DIR=RuntimeFolder)
    return environment


def StartCompositor(width, height, log="weston.log"):
    """Weston on the test's X server (xscreen.StartDisplay first), its output width x
    height at the screen's top-left corner; returns once its socket is there and its
    output shows."""
    global Weston, RuntimeFolder, Output
    RuntimeFolder = tempfile.mkdtemp(prefix="bumpdemo-wayland-")  # mode 0700
    with open("weston.ini", "w") as settings:
        settings.write(Settings)
    environment = dict(xscreen.Environment, XDG_RUNTIME_DIR=RuntimeFolder)
    environment.pop("WAYLAND_DISPLAY", None)
    Weston = subprocess.Popen(
        ["weston", "--backend=x11-backend.so", "--use-pixman", f"--socket={SocketName}",
         f"--width={width}", f"--height={height}", f"--config={os.path.abspath('weston.ini')}"],
        env=environment, stdout=open(log, "wb"), stderr=subprocess.STDOUT,
        start_new_session=True)
    deadline = time.monotonic() + 20
    socket = os.path.join(RuntimeFolder, SocketName)
    while not os.path.exists(socket) or not xscreen.VisibleWindows("^Weston Compositor"):
        if Weston.poll() is not None or time.monotonic() > deadline:
            Fail(f"weston did not start: {open(log).read()}")
        time.sleep(0.1)
    Output = xscreen.Geometry(xscreen.VisibleWindows("^Weston Compositor")[0])
    if Output[2:] != (width, height):
        Fail(f"weston's output is {Output}, not {width}x{height}")
    ParkPointer()


def KillCompositor():
    """Ends weston at once (SIGKILL), as a crash would."""
    if Weston is not None and Weston.poll() is None:
        os.killpg(Weston.pid, signal.SIGKILL)
        Weston.wait()


def StopCompositor():
    KillCompositor()
    if RuntimeFolder is not None:
        shutil.rmtree(RuntimeFolder, ignore_errors=True)


# The square at the output's bottom-right corner where the parked pointer shows.
PointerCorner = 8


def ParkPointer():
    """Moves the pointer into the output's corner from outside the output: weston takes
    the pointer's place when it enters its window and follows its moves from there (a
    pointer that was inside from the start moves weston's from the top-left corner)."""
    x, y, width, height = Output
    X("xdotool", "mousemove", str(x + width + 10), str(y + height + 10),
      "mousemove", str(x + width - 1), str(y + height - 1))
    time.sleep(0.1)


def OutputShot(path):
    """A screenshot of weston's output: (width, height, pixels), the pointer in its corner
    painted over with the background."""
    ParkPointer()
    width, height, pixels = Crop(xscreen.Screenshot(path), Output)
    rows = [pixels[row * width * 3:(row + 1) * width * 3] for row in range(height)]
    for row in range(height - PointerCorner, height):
        rows[row] = rows[row][:-PointerCorner * 3] + Background * PointerCorner
    return width, height, b"".join(rows)


def Crop(shot, area):
    width, _, pixels = shot
    left, top, areaWidth, areaHeight = area
    return areaWidth, areaHeight, b"".join(
        pixels[((top + row) * width + left) * 3:((top + row) * width + left + areaWidth) * 3]
        for row in range(areaHeight))


def Bounds(shot, colour, inverse=False):
    """(x, y, width, height) of the pixels that have the colour (or, inverse, that do not);
    None when there are none."""
    width, height, pixels = shot
    plain = colour * width
    area = None
    for y in range(height):
        row = pixels[y * width * 3:(y + 1) * width * 3]
        if (row == plain) if inverse else (colour not in row):
            continue
        found = [x for x in range(width) if (row[x * 3:x * 3 + 3] == colour) != inverse]
        if not found:
            continue
        if area is None:
            area = [found[0], y, found[-1], y]
        else:
            area = [min(area[0], found[0]), area[1], max(area[2], found[-1]), y]
    return None if area is None else (area[0], area[1], area[2] - area[0] + 1,
                                      area[3] - area[1] + 1)


def WaitForBox(seconds=30):
    """A box shown on the empty desktop: (x, y, width, height) of its own surface on the X
    screen (its face, the colour most of it has; decorations and shadow left out) once it
    shows the same twice; None when the program ends first (it could not show one)."""
    deadline = time.monotonic() + seconds
    previous = None
    while time.monotonic() < deadline:
        if program.Demo.poll() is not None:
            return None
        shot = OutputShot("question.ppm")
        shown = Bounds(shot, Background, inverse=True)
        if shown is not None:
            width, height, pixels = Crop(shot, shown)
            counts = {}
            for offset in range(0, len(pixels), 3):
                colour = pixels[offset:offset + 3]
                counts[colour] = counts.get(colour, 0) + 1
            face = max(counts, key=counts.get)
            body = Bounds((width, height, pixels), face)
            box = (shown[0] + body[0], shown[1] + body[1], body[2], body[3])
            if box == previous:
                return (Output[0] + box[0], Output[1] + box[1], box[2], box[3]), shot
            previous = box
        time.sleep(0.3)
    Fail(f"no box on weston's desktop within {seconds} seconds")


def ClickButton(box, shot, button):
    """Clicks the box's button by its place (0 the leftmost)."""
    x, y, width, height = box
    buttons = program.ButtonCentres(*Crop(shot, (x - Output[0], y - Output[1], width, height)),
                                    x, y)
    if len(buttons) != 3:
        Fail(f"the question has {len(buttons)} buttons, not Yes, No and Cancel: {buttons}")
    X("xdotool", "mousemove", *map(str, buttons[button]), "click", "1")


def PressKeys(*keys):
    """Keys typed into weston (for its focused window)."""
    ParkPointer()
    time.sleep(0.2)
    X("xdotool", "key", "--delay", "50", *keys)


def WaitUntilEmpty(seconds=10):
    deadline = time.monotonic() + seconds
    while Bounds(OutputShot("emptied.ppm"), Background, inverse=True) is not None:
        if time.monotonic() > deadline:
            Fail(f"weston's desktop still shows a window after {seconds} seconds")
        time.sleep(0.2)


def FindFrame(shot, directory):
    """(x, y, phase) of an effect's frame shown unenlarged on the output's screenshot, or
    None: the frames' first rows are looked for, and each place found compared whole."""
    width, height, pixels = shot
    firstRows = {}
    for phase in range(frames.Phases):
        _, _, frame = frames.ReadPpm(frames.FramePath(directory, phase))
        firstRows.setdefault(frame[:frames.FrameWidth * 3], phase)
    stride = width * 3
    for y in range(height - frames.FrameHeight + 1):
        row = pixels[y * stride:(y + 1) * stride]
        for first in firstRows:
            at = row.find(first)
            while at >= 0:
                if at % 3 == 0:
                    rows = frames.SampledRows(pixels, stride, at // 3, y, 1)
                    phase = frames.MatchingPhase(rows, directory)
                    if phase is not None:
                        return at // 3, y, phase
                at = row.find(first, at + 1)
    return None
