// The terminal's mode for a run: key by key and without echo, from the console's first
// need on. It is put back on every way out (the end, a signal that ends the program, a
// lost display) and while the program is stopped (Ctrl+Z, or a read from the background),
// and taken again when the program is back in the terminal's foreground: continued there,
// or brought there by fg while it ran on in the background (no signal tells of that: the
// console's next look does). Only a process in the foreground changes the mode: from the
// background the change would stop it.
#include "Terminal.h"

#include <StandInEdge.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <iterator>
#include <termios.h>
#include <unistd.h>

namespace {

termios SavedTerminal; // as the program found it
termios RunTerminal;   // key by key, without echo
bool TerminalChanged = false;
// Whether the terminal is in the run's mode now, as far as the program set it: not after
// it was put back, nor while the program could not take it from the background.
volatile sig_atomic_t RunModeHeld = 0;

// Signals whose default ends the process, and those whose default stops it.
constexpr int EndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr int StoppingSignals[] = {SIGTSTP, SIGTTIN, SIGTTOU};
struct sigaction SavedEndingActions[std::size(EndingSignals)];

void TakeRunMode() {
    if (TerminalChanged && InTerminalForeground() &&
        tcsetattr(STDIN_FILENO, TCSANOW, &RunTerminal) == 0)
        RunModeHeld = 1;
}

// Puts the terminal back, then lets the signal do what it did before (usually end the
// process) by raising it again with the previous action once this handler returns.
void EndWithTerminalBack(int signal) {
    RestoreTerminal();
    for (size_t i = 0; i < std::size(EndingSignals); ++i)
        if (EndingSignals[i] == signal)
            sigaction(signal, &SavedEndingActions[i], nullptr);
    raise(signal);
}

// Stops the process as the signal's default action does, with the terminal put back for
// the shell meanwhile; once continued (SIGCONT takes the run's mode again), the handler is
// back.
void StopWithTerminalBack(int signal) {
    const int savedErrno = errno;
    RestoreTerminal();
    struct sigaction stop {};
    struct sigaction ours {};
    stop.sa_handler = SIG_DFL;
    sigemptyset(&stop.sa_mask);
    sigaction(signal, &stop, &ours);
    sigset_t only;
    sigset_t previous;
    sigemptyset(&only);
    sigaddset(&only, signal);
    raise(signal);
    sigprocmask(SIG_UNBLOCK, &only, &previous); // the process stops here
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    sigaction(signal, &ours, nullptr);
    errno = savedErrno;
}

// Continued after any stop: the ones above, and SIGSTOP, which the program cannot see coming.
void ContinueInRunMode(int) {
    const int savedErrno = errno;
    TakeRunMode();
    errno = savedErrno;
}

void Install(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

// Installs the handler for the signal unless the program was started with the signal
// ignored (nohup, a shell without job control): then it stays ignored.
void Handle(int signal, void (*handler)(int), struct sigaction* previous) {
    sigaction(signal, nullptr, previous);
    if (previous->sa_handler != SIG_IGN)
        Install(signal, handler);
}

} // namespace

void EnterRawMode() {
    if (TerminalChanged || tcgetattr(STDIN_FILENO, &SavedTerminal) != 0)
        return;
    RunTerminal = SavedTerminal;
    RunTerminal.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    RunTerminal.c_cc[VMIN] = 1;
    RunTerminal.c_cc[VTIME] = 0;
    if (tcsetattr(STDIN_FILENO, TCSANOW, &RunTerminal) != 0)
        return;
    TerminalChanged = true;
    RunModeHeld = 1;
    std::atexit(RestoreTerminal);
    for (size_t i = 0; i < std::size(EndingSignals); ++i)
        Handle(EndingSignals[i], EndWithTerminalBack, &SavedEndingActions[i]);
    struct sigaction previous {};
    for (const int signal : StoppingSignals)
        Handle(signal, StopWithTerminalBack, &previous);
    // An ignored SIGCONT still continues the process: it is handled whatever the program
    // was started with.
    Install(SIGCONT, ContinueInRunMode);
}

void RestoreTerminal() {
    if (TerminalChanged && InTerminalForeground() &&
        tcsetattr(STDIN_FILENO, TCSANOW, &SavedTerminal) == 0)
        RunModeHeld = 0;
}

bool InTerminalForeground() {
    // Also where the terminal is not the one the program is controlled by.
    const pid_t foreground = tcgetpgrp(STDIN_FILENO);
    return foreground == -1 || foreground == getpgrp();
}

void KeepRunMode() {
    if (TerminalChanged && RunModeHeld == 0)
        TakeRunMode();
}
