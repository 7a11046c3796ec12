#!/usr/bin/env python3
"""The Linux bumpdemo started and ended the rough ways people do, on an X server of its own.

    unfriendly-cases.py CASE BUMPDEMO WORK_DIR FAILING_BUMPDEMO

CASE is one of:
  closedstreams  started without standard input: it ends after its first frames as with an
                 empty input, with the report; started without standard error alone, its
                 descriptor 2 is /dev/null, not what the program opened first; started
                 without standard output and error: the run goes on until a key typed in
                 the terminal ends it, exit 0
  jobcontrol     in bash and in dash on a terminal (tmux): Ctrl+Z stops the run with the
                 terminal back in line mode with echo; bg lets it go on in the background
                 without a new stop and without changing the terminal's mode; fg continues
                 it in key mode, and a key ends it with the report, exit 0; under dash
                 Ctrl+\\ ends a run with the terminal back in line mode
  questionsignal SIGTERM while the question is up ends the program by that signal, and
                 neither the question's box nor any process of the program stays
  nodisplay      DISPLAY not set, or naming a display that is not there: one line on
                 standard error that names it, exit 1, nothing asked
  lostdisplay    the X server killed at the question, during the animation (windowed and
                 full screen) and in a failure box: one line on standard error that the
                 display was lost, exit 1, the terminal back in line mode, no process of the
                 program left
  windowed8      No on an 8-bit screen (palette entries), where the layer draws no box:
                 the question is asked on the terminal instead, and no box window shows;
                 after No a box on the terminal names the depth ("Display depth FAILED (8
                 bits)"); Return ends the program with exit code 1, no report
  failurebox     Yes on an 8-bit screen, which offers no display mode: "SetDisplayMode
                 FAILED"; Return ends the program with exit code 1, through its finalisers
                 (the terminal is back in line mode), no report, no window left
WORK_DIR keeps what a run leaves. FAILING_BUMPDEMO is the test build of the program whose
Blt can be made to fail (BUMPDEMO_FAIL), for a failure box on a display that works. Exit
code 77 (skipped) when Xvfb, xdotool, xwininfo or (jobcontrol) tmux is missing. The helpers
come from the e2e package in tests/ (on PYTHONPATH).
"""

import os
import re
import shlex
import signal
import subprocess
import sys
import time

from e2e import program, xscreen
from e2e.program import (AnswerQuestion, Log, Output, PressKeysAtQuestion, StartDemo,
                         WaitForWindow)
from e2e.xscreen import Fail, VisibleWindows

OutputTitle = r"^Vortane DirectDraw Handler$"
QuestionTitle = program.QuestionTitle
ScreenSize = (1024, 768)
Xvfb = None
Environment = xscreen.Environment
Program = Failing = None  # the paths of bumpdemo and its failing test build


def StartDisplay(depth=24):
    global Xvfb
    Xvfb = xscreen.StartDisplay(*ScreenSize, depth)
    Log(f"X server on {Environment['DISPLAY']}, depth {depth}")


def StopDisplay():
    global Xvfb
    if Xvfb is not None:
        xscreen.Stop(Xvfb)
    Xvfb = None


def WaitForExit(seconds, what):
    try:
        return program.Demo.wait(seconds)
    except subprocess.TimeoutExpired:
        Fail(f"bumpdemo did not end within {seconds} seconds {what}; output {Output()}")


def CheckNothingLeft(session, what):
    """No process of the program's session, and no window of it, remains."""
    program.CheckNoProcessLeft(session, what)
    if Xvfb is not None and VisibleWindows(f"{OutputTitle}|{QuestionTitle}"):
        Fail(f"a window of the program stayed on screen {what}")


def OpenWindowed():
    AnswerQuestion(1)
    return WaitForWindow(OutputTitle, 30)


def CaseClosedStreams():
    StartDisplay()
    Log("--- without standard input")
    StartDemo(Program, closed=(0,))
    AnswerQuestion(1)
    code = WaitForExit(20, "without standard input and without a key")
    out, err = Output()
    if code != 0 or not re.match(rb"^\r?\n\r?\nBENCHMARK: \d+\.\d\d FPS\r?\n$", out):
        Fail(f"without standard input: exit {code}, output {out!r} {err!r}; expected the "
             "report and exit 0, as with an empty input")
    Log("--- without standard error alone")
    StartDemo(Program, closed=(2,))
    window = OpenWindowed()
    # Whatever the program opens first (the X connection, a file) must not become its
    # standard error, where its messages would go.
    error = os.readlink(f"/proc/{program.Demo.pid}/fd/2")
    if error != "/dev/null":
        Fail(f"without standard error, descriptor 2 is {error}, not /dev/null")
    program.TypeInTerminal(b"x")
    code = WaitForExit(10, "after the key")
    if code != 0:
        Fail(f"without standard error the run ended with {code}, not 0")
    xscreen.WaitUntilGone(window, 10)
    Log("--- without standard output and error")
    StartDemo(Program, closed=(1, 2))
    window = OpenWindowed()
    time.sleep(1)
    if program.Demo.poll() is not None:
        Fail("without standard output and error the run ended by itself: "
             f"{program.Demo.returncode}")
    program.TypeInTerminal(b"x")
    code = WaitForExit(10, "after the key")
    if code != 0:
        Fail(f"without standard output and error the run ended with {code}, not 0")
    xscreen.WaitUntilGone(window, 10)


class Shell:
    """An interactive shell on a terminal of tmux's, on the test's display."""

    def __init__(self, command):
        # A server of its own for each shell: one that is ending takes no new session.
        self.socket = os.path.abspath(f"tmux-{command[0]}.socket")
        self.Tmux("-f", "/dev/null", "new-session", "-d", "-x", "100", "-y", "30",
                  "env", "PS1=$ ", *command)
        self.tty = self.Tmux("display-message", "-p", "#{pane_tty}").strip()
        self.terminal = os.open(self.tty, os.O_RDWR | os.O_NOCTTY)
        self.WaitForScreen(r"\$ ?$", "the shell's prompt")

    def Tmux(self, *arguments):
        return subprocess.run(["tmux", "-S", self.socket, *arguments], check=True,
                              capture_output=True, text=True, env=Environment).stdout

    def Type(self, *keys):
        self.Tmux("send-keys", *keys)

    def Screen(self):
        return self.Tmux("capture-pane", "-p").rstrip()

    def WaitForScreen(self, pattern, what, seconds=20):
        deadline = time.monotonic() + seconds
        while not re.search(pattern, self.Screen()):
            if time.monotonic() > deadline:
                Fail(f"no {what} on the terminal within {seconds} s:\n{self.Screen()}")
            time.sleep(0.1)

    def WaitForMode(self, mode, what):
        deadline = time.monotonic() + 10
        while program.TerminalMode(self.terminal) != mode:
            if time.monotonic() > deadline:
                Fail(f"the terminal is in {program.TerminalMode(self.terminal)} mode {what}, "
                     f"not {mode}")
            time.sleep(0.1)

    def Close(self):
        os.close(self.terminal)
        subprocess.run(["tmux", "-S", self.socket, "kill-server"], capture_output=True)


def StartRun(shell):
    """Starts the program in the shell and answers No: its run has the terminal in key mode."""
    shell.Type(shlex.quote(Program), "Enter")
    OpenWindowed()
    shell.WaitForMode("key", "during the run")


def ProgramOnTerminal(shell):
    """The program's process whose standard input is the shell's terminal."""
    for name in os.listdir("/proc"):
        try:
            if (os.readlink(f"/proc/{name}/fd/0") == shell.tty and
                    open(f"/proc/{name}/comm").read().strip() == os.path.basename(Program)):
                return int(name)
        except (OSError, ValueError):
            continue
    Fail("no process of the program on the shell's terminal")


def ProcessState(process):
    """The kernel's one-letter state of the process: T when it is stopped."""
    return open(f"/proc/{process}/stat").read().rsplit(")", 1)[1].split()[0]


def StopAndContinue(shell):
    """Starts the program in the shell, stops it with Ctrl+Z, lets it go on in the
    background with bg, where it must neither stop again nor take the terminal, and brings
    it back with fg; a key then ends the run with the report."""
    StartRun(shell)
    process = ProgramOnTerminal(shell)
    shell.Type("C-z")
    shell.WaitForScreen(r"Stopped", "job stopped")
    shell.WaitForMode("line", "while the program is stopped")
    shell.Type("bg", "Enter")
    deadline = time.monotonic() + 10
    while ProcessState(process) == "T":
        if time.monotonic() > deadline:
            Fail("the program did not go on after bg")
        time.sleep(0.1)
    # Frames go on in the background for a while: no new stop, the shell's mode kept.
    for _ in range(15):
        time.sleep(0.1)
        if ProcessState(process) == "T":
            Fail("the program stopped again in the background")
        if program.TerminalMode(shell.terminal) != "line":
            Fail("the program in the background changed the terminal's mode")
    shell.Type("fg", "Enter")
    shell.WaitForMode("key", "after fg")
    shell.Type("x")
    shell.WaitForScreen(r"BENCHMARK: \d+\.\d\d FPS\n+\$ ?$", "the report")
    shell.WaitForMode("line", "after the run")
    shell.Type("echo status=$?", "Enter")
    shell.WaitForScreen(r"\nstatus=0\n", "exit status 0")


def CaseJobControl():
    program.RequireTools("tmux", "bash", "dash")
    StartDisplay()
    # Without line editing, which would keep the terminal in key mode at the prompt.
    for command in (["bash", "--norc", "--noprofile", "--noediting", "-i"], ["dash", "-i"]):
        Log(f"--- {command[0]}: Ctrl+Z, bg and fg")
        shell = Shell(command)
        try:
            shell.Type("ulimit -c 0", "Enter")
            StopAndContinue(shell)
            if command[0] == "dash":
                Log("--- dash: Ctrl+\\")
                StartRun(shell)
                shell.Type("C-\\")
                shell.WaitForScreen(r"Quit", "the program ended by SIGQUIT")
                shell.WaitForMode("line", "after SIGQUIT")
        finally:
            shell.Close()


def CaseQuestionSignal():
    StartDisplay()
    StartDemo(Program)
    box = WaitForWindow(QuestionTitle, 30)
    os.kill(program.Demo.pid, signal.SIGTERM)
    code = WaitForExit(10, "after SIGTERM")
    if code != -signal.SIGTERM:
        Fail(f"after SIGTERM at the question the exit status is {code}")
    xscreen.WaitUntilGone(box, 10)
    CheckNothingLeft(program.Demo.pid, "after SIGTERM at the question")


def CaseNoDisplay():
    for name in ("WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "XDG_RUNTIME_DIR"):
        Environment.pop(name, None)
    for display, expected in ((None, b"bumpdemo: no display to show windows on: DISPLAY is "
                                     b"not set\n"),
                              (":65001", b"bumpdemo: cannot open the display :65001\n")):
        Log(f"--- DISPLAY {display}")
        if display is None:
            Environment.pop("DISPLAY", None)
        else:
            Environment["DISPLAY"] = display
        StartDemo(Program)
        code = WaitForExit(20, "without a display")
        out, err = Output()
        if code != 1 or out or err != expected:
            Fail(f"without a display: exit {code}, output {out!r} and {err!r}; expected exit "
                 f"1 and only {expected!r} on standard error")


def CheckDisplayLost(what):
    """Kills the X server; the program must say so in one line and end with exit 1, its
    terminal back in line mode and nothing of it left."""
    display = Environment["DISPLAY"]
    StopDisplay()
    program.CheckLostDisplayEnd(display, what)


def CaseLostDisplay():
    Log("--- at the question")
    StartDisplay()
    StartDemo(Program)
    WaitForWindow(QuestionTitle, 30)
    CheckDisplayLost("at the question")
    Log("--- during the windowed animation")
    StartDisplay()
    StartDemo(Program)
    OpenWindowed()
    time.sleep(1)
    CheckDisplayLost("during the windowed animation")
    Log("--- during the full-screen animation")
    StartDisplay()
    StartDemo(Program)
    PressKeysAtQuestion("Return")
    WaitForWindow(OutputTitle, 30)
    time.sleep(1)
    CheckDisplayLost("during the full-screen animation")
    Log("--- in a failure box")
    StartDisplay()
    Environment.update(BUMPDEMO_FAIL="IDirectDrawSurface4::Blt", BUMPDEMO_FAIL_AFTER="10")
    StartDemo(Failing)
    OpenWindowed()
    WaitForWindow(r"^Error$", 30)
    CheckDisplayLost("in a failure box")


# The question and the failure boxes as the terminal shows them, caption first.
Question = b"Do you want...: Fullscreen?\n[y] Yes, [n] No, [c] Cancel? "


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
    program.TypeInTerminal(b"\r")
    code = WaitForExit(10, "after Return at the failure box")
    out, err = Output()
    if code != 1 or out or err != expected + b"\n":
        Fail(f"exit code {code}, output {out!r} and {err!r}; expected 1, nothing and "
             f"{expected!r}")
    if program.TerminalMode(program.Terminal) != "line":
        Fail("the terminal was not restored: the finalisers did not run")
    if VisibleWindows(".*"):
        Fail("windows are left on the screen after the program ended")


def CaseWindowed8():
    StartDisplay(8)
    StartDemo(Program)
    WaitForError(Question)
    if VisibleWindows(QuestionTitle):
        Fail("a question box shows on the 8-bit screen as well")
    program.TypeInTerminal(b"n")
    expected = Question + b"\nError: Display depth FAILED (8 bits)\n[Return] OK? "
    WaitForError(expected)
    CheckFailureEnd(expected)


def CaseFailureBox():
    StartDisplay(8)
    StartDemo(Program)
    WaitForError(Question)
    program.TypeInTerminal(b"y")
    expected = Question + b"\nError: SetDisplayMode FAILED\n[Return] OK? "
    WaitForError(expected)
    CheckFailureEnd(expected)


def Main():
    global Program, Failing
    if len(sys.argv) != 5:
        print(__doc__)
        return 2
    case, demo, work, failing = sys.argv[1:]
    Program, Failing = os.path.abspath(demo), os.path.abspath(failing)
    if case != "nodisplay":
        program.RequireTools("Xvfb", "xdotool", "xwininfo", "import")
    cases = {
        "closedstreams": CaseClosedStreams,
        "jobcontrol": CaseJobControl,
        "questionsignal": CaseQuestionSignal,
        "nodisplay": CaseNoDisplay,
        "lostdisplay": CaseLostDisplay,
        "windowed8": CaseWindowed8,
        "failurebox": CaseFailureBox,
    }

    return program.RunCase(cases, case, work)


if __name__ == "__main__":
    sys.exit(Main())
