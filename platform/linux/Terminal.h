// The Linux edges' own functions, beside what they supply to the stand-in's core: the
// terminal's mode, the clocked tail of a wait, and the look at the terminal and the display
// at the end of a wait.
#pragma once

// The terminal's mode (TerminalMode.cpp): key by key and without echo for the run, from
// the first call on; and back in the mode the program found it in (nothing happens when
// it was never changed), also for ends that skip the program's normal end.
void EnterRawMode();
void RestoreTerminal();
// Whether the program is in its terminal's foreground (or has no terminal): only then may
// it read the terminal or change its mode without being stopped for it.
bool InTerminalForeground();
// Takes the run's mode again where the program is back in the foreground without having
// been stopped and continued (fg after bg); cheap when nothing is to be done.
void KeepRunMode();

// The part of a real wait, before its deadline, spent reading the clock instead of asleep
// (nanoseconds): what it becomes after a wake-up that came lateness nanoseconds after its
// time, from spin before (Clock.cpp).
long SpinAfterWakeUp(long spin, long long lateness);
// Whether a real wait ended a moment ago (within a millisecond), so that a look taken at
// its end (at the terminal, at the display's events) still stands.
bool RightAfterWait();
// At the end of a real wait, in the time it spends on the clock anyway: what standard
// input has now is taken in, and the count of records right after needs no look of its own.
void LookAtTerminal();
