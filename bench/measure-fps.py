#!/usr/bin/env python3
"""Runs the Linux bumpdemo for a while, as a person would, and prints its BENCHMARK line.

    bench/measure-fps.py BUMPDEMO [SECONDS] [windowed|fullscreen|wayland] [DPI]

The program runs on an X server of its own (Xvfb, 24 bits) with its standard input on a
pseudo-terminal; the start-up question is answered (No: windowed, Return: full screen),
and after SECONDS (default 20) a key typed in the terminal ends the run. In wayland mode
it runs windowed on weston, shown in the X server, without X (e2e.wayland). With DPI
(windowed and full screen) the X desktop is scaled to it (Xft.dpi, as xrdb -merge sets
it): the screen is 1280 x 1024 times the whole factor the program shows itself at (2560 x
2048 at 192), so that the program sees the same desktop as at 96 dpi and draws each of its
pixels as a block. The frame rate is at most 20.00 (a 50 ms wait per frame); what it falls short of that is the per-frame work
and the wait's own lateness. Uses the end-to-end tests' helpers (the e2e package in tests/).

Besides the report it prints where a frame's time went, from the counters the Linux
stand-in keeps (STANDIN_FRAME_TIMES): per frame on average, the wait's lateness, the
program's own work between waits (rendering, conversion, the console check), the
presentation calls (Blt or Flip) as the main thread sees them, and the message functions.
"""

import os
import re
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from e2e import program, wayland, xscreen  # noqa: E402 (found through the path above)


def Main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    demo = os.path.abspath(sys.argv[1])
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20
    mode = sys.argv[3] if len(sys.argv) > 3 else "windowed"
    dpi = int(sys.argv[4]) if len(sys.argv) > 4 else 96
    # The whole factor the screen layer takes from the dpi: 96 is 1, rounded to the nearest.
    scale = max(1, (dpi + 48) // 96)
    tools = ("Xvfb", "xdotool", "xwininfo", "import") + (("weston",) if mode == "wayland" else ()) \
        + (("xprop",) if dpi != 96 else ())
    missing = [tool for tool in tools if not shutil.which(tool)]
    if missing:
        sys.exit(f"not installed: {' '.join(missing)}")
    for name in ("WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "GDK_SCALE"):
        xscreen.Environment.pop(name, None)
    with tempfile.TemporaryDirectory() as work:
        os.chdir(work)
        times = os.path.join(work, "frame-times.txt")
        xscreen.Environment["STANDIN_FRAME_TIMES"] = times
        try:
            xscreen.StartDisplay(1280 * scale, 1024 * scale, 24)
            if dpi != 96:
                xscreen.SetDesktopDpi(dpi)
            if mode == "wayland":
                StartOnWayland(demo)
            else:
                program.StartDemo(demo)
                if mode == "fullscreen":
                    program.PressKeysAtQuestion("Return")
                else:
                    program.AnswerQuestion(1)
            time.sleep(seconds)
            program.TypeInTerminal(b"x")
            program.WaitForExit(30)
            out, _ = program.Output()
            counted = ReadFrameTimes(times)
        finally:
            program.StopDemo()
            wayland.StopCompositor()
            xscreen.StopStarted()
    match = re.search(rb"BENCHMARK: (\d+\.\d\d) FPS", out)
    if not match:
        sys.exit(f"no BENCHMARK line in the output: {out!r}")
    print(f"{mode}, {dpi} dpi, {seconds:g} s: BENCHMARK: {match.group(1).decode()} FPS")
    if counted.get("waits"):
        PrintBreakdown(counted)


def StartOnWayland(demo):
    """The program on weston, windowed: No clicked at the question."""
    wayland.StartCompositor(1024, 768)
    program.StartDemo(demo, environment=wayland.ProgramEnvironment())
    found = wayland.WaitForBox()
    if found is None:
        sys.exit(f"no box could be shown: {program.Output()[1]!r}")
    wayland.ClickButton(*found, 1)


def ReadFrameTimes(path):
    """The stand-in's totals: name -> number; empty when the program wrote none."""
    if not os.path.exists(path):
        return {}
    with open(path) as lines:
        return {name: int(value) for name, value in (line.split() for line in lines)}


def PrintBreakdown(counted):
    frames = counted["waits"]
    parts = [("wait's lateness", counted["lateness_ns"]), ("own work", counted["work_ns"]),
             ("presentation", counted["presentation_ns"]), ("messages", counted["messages_ns"])]
    lost = sum(total for _, total in parts) / frames / 1000
    print(f"per frame over {frames} frames, in microseconds beyond the 50 ms wait: "
          + ", ".join(f"{name} {total / frames / 1000:.1f}" for name, total in parts)
          + f"; together {lost:.1f} (20.00 FPS less {20 - 1000 / (50 + lost / 1000):.3f})")


if __name__ == "__main__":
    Main()
