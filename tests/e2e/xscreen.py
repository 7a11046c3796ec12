"""The test's own X screen: an X server, a window manager on it, window lookup, screenshots,
pointer drags and key typing, all through the X clients a person's session would have
(Xvfb, openbox, xdotool, xwininfo, xprop, ImageMagick's import).

The window manager is openbox: it is up in well under a second, needs no configuration
file of ours, places new windows itself (twm asks the person to place each one), and it
speaks the window manager hints (_NET_FRAME_EXTENTS tells where a window's title bar is).

As a command, for the bash scripts (on the X server that DISPLAY names):

    python3 -m e2e.xscreen windowmanager LOG   starts openbox, prints its process id once
                                               it manages the screen
    python3 -m e2e.xscreen drag WINDOW DX DY   drags the window by its title bar
    python3 -m e2e.xscreen resize WINDOW DX DY drags the bottom-right corner of its frame
    python3 -m e2e.xscreen uncovered BEFORE.ppm AFTER.ppm X Y WIDTH HEIGHT
                                               checks that the area shows what it showed
                                               before wherever no window covers it now

drag and resize print the window's "X Y WIDTH HEIGHT" before and after. Exit code 1 and a line
on standard error when a check or an X client fails.
"""

import array
import ctypes
import ctypes.util
import os
import re
import subprocess
import sys
import time

from . import frames

# The X clients run with this environment; StartDisplay points its DISPLAY at the server.
Environment = dict(os.environ)
# The servers and programs a case started (Started), ended in reverse order at its end.
StartedProcesses = []


class Failure(Exception):
    pass


def Fail(text):
    raise Failure(text)


def Started(process):
    """Notes a process the case started, to be ended with the case; returns it."""
    StartedProcesses.append(process)
    return process


def Stop(process):
    """Ends a process the case started, if it still runs."""
    if process.poll() is None:
        process.kill()
    process.wait()
    if process in StartedProcesses:
        StartedProcesses.remove(process)


def StopStarted():
    while StartedProcesses:
        Stop(StartedProcesses[-1])


def X(*command, check=True):
    """Runs an X client on the test's display; returns its standard output."""
    result = subprocess.run(list(command), env=Environment, capture_output=True, text=True,
                            timeout=30)
    if check and result.returncode != 0:
        Fail(f"{' '.join(command)}: {result.stderr.strip()}")
    return result.stdout


def StartDisplay(width, height, depth, log="xvfb.log"):
    """An X server of the test's own; Xvfb picks a free display number and tells it.
    Returns the server's process."""
    reader, writer = os.pipe()
    output = open(log, "wb")
    server = Started(subprocess.Popen(
        ["Xvfb", "-displayfd", str(writer), "-screen", "0", f"{width}x{height}x{depth}",
         "-nolisten", "tcp", "-noreset"],
        pass_fds=[writer], stdout=output, stderr=subprocess.STDOUT))
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
        Fail(f"Xvfb did not start: {open(log).read()}")
    Environment["DISPLAY"] = ":" + number.decode().strip()
    return server


def StartWindowManager(log="openbox.log"):
    """openbox on the test's display, with its own default settings (not the user's);
    returns its process once it has taken the screen and handles what comes."""
    manager = Started(subprocess.Popen(
        ["openbox", "--sm-disable", "--config-file", "/etc/xdg/openbox/rc.xml"],
        env=Environment, stdout=open(log, "wb"), stderr=subprocess.STDOUT,
        start_new_session=True))
    deadline = time.monotonic() + 20

    def CheckStarting():
        if manager.poll() is not None or time.monotonic() > deadline:
            Fail(f"openbox did not take the screen: {open(log).read()}")
    while "window id" not in X("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False) or \
            "=" not in X("xprop", "-root", "_NET_DESKTOP_NAMES", check=False):
        CheckStarting()
        time.sleep(0.1)
    # What openbox reads of its connection while it starts stays unhandled until more
    # comes (a window mapped then never shows): its desktop names, taken away, are written
    # back once it handles its events, and with them all that came before. A property of
    # no meaning to it is changed each second meanwhile, as more for it to read.
    X("xprop", "-root", "-remove", "_NET_DESKTOP_NAMES")
    nudged = time.monotonic()
    while "=" not in X("xprop", "-root", "_NET_DESKTOP_NAMES", check=False):
        CheckStarting()
        if time.monotonic() > nudged + 1:
            X("xprop", "-root", "-f", "_E2E_NUDGE", "8s", "-set", "_E2E_NUDGE", str(nudged))
            nudged = time.monotonic()
        time.sleep(0.05)
    return manager


def VisibleWindows(pattern):
    """The ids of the named windows shown now whose names match the pattern, at any depth
    (a window manager puts each top-level window into a frame of its own). xdotool's
    search misses SDL's windows, whose names are UTF-8 only."""
    windows = []
    for line in X("xwininfo", "-root", "-tree", check=False).splitlines():
        match = re.match(r'\s*(0x[0-9a-f]+) "(.*)": ', line)
        if match and re.search(pattern, match.group(2)) and \
                "IsViewable" in X("xwininfo", "-id", match.group(1), check=False):
            windows.append(match.group(1))
    return windows


def WaitForWindow(pattern, seconds, stillRunning=lambda: None):
    """The first window whose name matches, waiting up to SECONDS; stillRunning is called
    on each look and may fail the wait (when the program has ended, say)."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        stillRunning()
        windows = VisibleWindows(pattern)
        if windows:
            return windows[0]
        time.sleep(0.2)
    Fail(f"no window {pattern} within {seconds} seconds")


def WaitUntilGone(window, seconds):
    deadline = time.monotonic() + seconds
    while window in VisibleWindows(".*"):
        if time.monotonic() > deadline:
            Fail(f"window {window} is still on screen after {seconds} seconds")
        time.sleep(0.1)


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


def FrameExtents(window):
    """(left, right, top, bottom): how far the window manager's frame reaches beyond the
    window; the title bar is in the top part."""
    values = re.findall(r"\d+", X("xprop", "-id", window, "_NET_FRAME_EXTENTS").partition("=")[2])
    if len(values) != 4:
        Fail(f"window {window} has no window manager frame")
    return tuple(int(value) for value in values)


def Screenshot(path, window="root"):
    X("import", "-window", window, "-depth", "8", f"ppm:{path}")
    return frames.ReadPpm(path)


def WidenedTo8Bits():
    """For each 16-bit sample of a screenshot of a screen of 10-bit channels: the 8-bit value
    whose exact widening (its top 2 bits repeated below) the 10 bits are, or that value with
    its top bit flipped where they are no such widening (no 8-bit pixel shows so)."""
    table = bytearray(65536)
    for sample in range(65536):
        wide = (sample * 1023 + 32767) // 65535
        value = wide >> 2
        table[sample] = value if wide == (value << 2 | value >> 6) else value ^ 0x80
    return bytes(table)


def DeepScreenshot(path, window="root"):
    """A screenshot of a screen of 10-bit channels, as 8-bit pixels (WidenedTo8Bits):
    ImageMagick reads 16 bits a channel from it, which keep the 10 exactly."""
    global Widened
    X("import", "-window", window, "-depth", "16", f"ppm:{path}")
    width, height, samples = frames.ReadPpm(path, maxValue=65535)
    wide = array.array("H", samples)
    if sys.byteorder == "little":
        wide.byteswap()
    if Widened is None:
        Widened = WidenedTo8Bits()
    return width, height, bytes(map(Widened.__getitem__, wide))


Widened = None


def SetDesktopDpi(dpi):
    """The desktop's scale as GNOME, KDE and Xfce set it (what xrdb -merge of Xft.dpi
    does): the Xft.dpi resource in the root window's RESOURCE_MANAGER property."""
    X("xprop", "-root", "-format", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER",
      f"Xft.dpi:\t{dpi}\n")


def ActiveWindow():
    """The window the window manager names the active one (_NET_ACTIVE_WINDOW); 0 for none."""
    line = X("xprop", "-root", "_NET_ACTIVE_WINDOW", check=False)
    return int(line.rsplit("#", 1)[1].split(",")[0], 16) if "#" in line else 0


def ActiveWindowBecomes(window, seconds):
    """Waits until the window manager names the window the active one."""
    deadline = time.monotonic() + seconds
    while int(window, 16) != ActiveWindow():
        if time.monotonic() > deadline:
            Fail(f"window {window} did not become active within {seconds} seconds")
        time.sleep(0.1)


def PressKeysInWindow(window, *keys, click=False):
    """Keys typed with the pointer over the window: without a window manager the X
    server's focus follows the pointer; with one, click gives the window the focus, and
    the keys wait until the window manager has given it."""
    x, y, width, height = Geometry(window)
    X("xdotool", "mousemove", str(x + width // 2), str(y + height // 2))
    if click:
        X("xdotool", "click", "1")
        ActiveWindowBecomes(window, 10)
    else:
        time.sleep(0.2)
    X("xdotool", "key", "--delay", "50", *keys)


def Drag(fromX, fromY, dx, dy):
    """Presses the first button at a point, moves the pointer by (dx, dy) in steps, as a
    hand would, and lets go."""
    X("xdotool", "mousemove", str(fromX), str(fromY), "mousedown", "1")
    steps = 8
    for step in range(1, steps + 1):
        time.sleep(0.05)
        X("xdotool", "mousemove", str(fromX + dx * step // steps), str(fromY + dy * step // steps))
    time.sleep(0.1)
    X("xdotool", "mouseup", "1")


def PointerHeld():
    """Whether another client holds the pointer grabbed now, as a window manager does from
    the start of a drag of a window to its end: a grab of our own is tried (and let go)."""
    global Xlib
    if Xlib is None:
        Xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        Xlib.XOpenDisplay.restype = ctypes.c_void_p
        Xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        Xlib.XDefaultRootWindow.restype = ctypes.c_ulong
        Xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        Xlib.XGrabPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_uint,
                                      ctypes.c_int, ctypes.c_int, ctypes.c_ulong, ctypes.c_ulong,
                                      ctypes.c_ulong]
        Xlib.XUngrabPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        Xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = Xlib.XOpenDisplay(Environment["DISPLAY"].encode())
    if not display:
        Fail(f"cannot open the display {Environment['DISPLAY']}")
    try:
        # Asynchronous modes, no confinement, no cursor, the current time.
        result = Xlib.XGrabPointer(display, Xlib.XDefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0)
        if result == GrabSuccess:
            Xlib.XUngrabPointer(display, 0)
        return result == AlreadyGrabbed
    finally:
        Xlib.XCloseDisplay(display)


Xlib = None
GrabSuccess, AlreadyGrabbed = 0, 1


def SettledGeometry(window, until, seconds=10):
    """The window's geometry once until(geometry) holds and the window manager has let go
    of the pointer (a drag it follows has ended there), or after SECONDS as it is then."""
    deadline = time.monotonic() + seconds
    while True:
        geometry = Geometry(window)
        # Looked at only once the window has changed: the window manager then holds the
        # pointer until the drag ends, and a grab tried now cannot take it from it.
        if until(geometry) and not PointerHeld():
            return Geometry(window)
        if time.monotonic() > deadline:
            return geometry
        time.sleep(0.1)


def DragByTitleBar(window, dx, dy):
    """Moves the window by its title bar; returns its geometry once it has moved and the
    window manager has ended the drag (or as it is after a while, when it did not move).
    The window manager may stop it a little short of (dx, dy), at the edge of the screen
    or of another window."""
    x, y, width, height = Geometry(window)
    _, _, top, _ = FrameExtents(window)
    # A third of the way along the title: on its label, clear of the buttons at both ends.
    Drag(x + width // 3, y - top // 2, dx, dy)
    return SettledGeometry(window, lambda now: now[:2] != (x, y))


def DragCorner(window, dx, dy):
    """Drags the bottom-right corner of the window's frame by (dx, dy); returns the
    window's geometry once its size changed, or after two seconds when it kept it (a
    window manager that does not size the window tells of that by nothing)."""
    x, y, width, height = Geometry(window)
    _, right, _, bottom = FrameExtents(window)
    Drag(x + width + right - 1, y + height + bottom - 1, dx, dy)
    return SettledGeometry(window, lambda now: now[2:] != (width, height), seconds=2)


def TopLevelAreas():
    """(x, y, width, height) of every top-level window shown now (with a window manager,
    the frames)."""
    areas = []
    # Each line ends with the size and place: "WIDTHxHEIGHT+X+Y  +ABSOLUTE_X+ABSOLUTE_Y".
    shape = re.compile(r"\s*(0x[0-9a-f]+) .*\s(\d+)x(\d+)[-+]-?\d+[-+]-?\d+\s+\+(-?\d+)\+(-?\d+)$")
    for line in X("xwininfo", "-root", "-children").splitlines():
        match = shape.match(line)
        if match and "IsViewable" in X("xwininfo", "-id", match.group(1), check=False):
            width, height, x, y = map(int, match.group(2, 3, 4, 5))
            areas.append((x, y, width, height))
    return areas


def UncoveredChanges(before, after, area, covering):
    """How many pixels of the area differ between two screenshots (width, height, pixels)
    where none of the covering rectangles lies over them."""
    width, _, old = before
    _, _, new = after
    left, top, areaWidth, areaHeight = area
    changed = 0
    for y in range(top, top + areaHeight):
        for x in range(left, left + areaWidth):
            if any(cx <= x < cx + cw and cy <= y < cy + ch for cx, cy, cw, ch in covering):
                continue
            offset = (y * width + x) * 3
            if old[offset:offset + 3] != new[offset:offset + 3]:
                changed += 1
    return changed


def CheckUncovered(before, after, area):
    """The area (a window's old place) shows what the screen showed before the program
    wherever no window lies over it now: nothing of the program is left drawn there."""
    changed = UncoveredChanges(frames.ReadPpm(before), frames.ReadPpm(after), area,
                               TopLevelAreas())
    if changed:
        Fail(f"{changed} pixels of the old place {area} still differ from the empty screen")


def Main(arguments):
    command = arguments[0] if arguments else ""
    try:
        if command == "windowmanager" and len(arguments) == 2:
            print(StartWindowManager(arguments[1]).pid)
        elif command in ("drag", "resize") and len(arguments) == 4:
            move = DragByTitleBar if command == "drag" else DragCorner
            before = Geometry(arguments[1])
            print(*before, *move(arguments[1], int(arguments[2]), int(arguments[3])))
        elif command == "uncovered" and len(arguments) == 7:
            CheckUncovered(arguments[1], arguments[2], tuple(map(int, arguments[3:])))
        else:
            print(__doc__, file=sys.stderr)
            return 2
    except (Failure, OSError, ValueError, subprocess.SubprocessError) as error:
        print(f"FAILED: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(Main(sys.argv[1:]))
