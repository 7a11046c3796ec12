// Console input in a real run: the bytes of standard input become key events. A
// terminal is switched to non-canonical, non-echo input for the run and restored on
// every way out; any other input counts each byte, and its end once, as a key press.
#include "StandInPrivate.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

enum class Source { Unknown, Terminal, Stream, Ended };

Source InputSource = Source::Unknown;
std::deque<INPUT_RECORD> Pending;
// A look at standard input at the end of a wait: it stands for the next count of records
// taken right after it.
bool Looked = false;

termios SavedTerminal;
bool TerminalChanged = false;
constexpr int RestoringSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction SavedActions[3];

void RestoreTerminal() {
    if (TerminalChanged)
        tcsetattr(STDIN_FILENO, TCSANOW, &SavedTerminal);
}

// Puts the terminal back, then lets the signal do what it did before (usually end the
// process) by re-raising it with the previous action.
void RestoreAndReraise(int signal) {
    RestoreTerminal();
    for (size_t i = 0; i < std::size(RestoringSignals); ++i)
        if (RestoringSignals[i] == signal)
            sigaction(signal, &SavedActions[i], nullptr);
    raise(signal);
}

void EnterRawMode() {
    if (TerminalChanged || tcgetattr(STDIN_FILENO, &SavedTerminal) != 0)
        return;
    termios raw = SavedTerminal;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0)
        return;
    TerminalChanged = true;
    std::atexit(RestoreTerminal);
    for (size_t i = 0; i < std::size(RestoringSignals); ++i) {
        struct sigaction previous {};
        sigaction(RestoringSignals[i], nullptr, &previous);
        SavedActions[i] = previous;
        // A signal the caller chose to ignore (nohup) stays ignored.
        if (previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = RestoreAndReraise;
        sigemptyset(&action.sa_mask);
        sigaction(RestoringSignals[i], &action, nullptr);
    }
}

void StartInput() {
    if (InputSource != Source::Unknown)
        return;
    if (isatty(STDIN_FILENO)) {
        InputSource = Source::Terminal;
        EnterRawMode();
    } else {
        InputSource = Source::Stream;
    }
}

bool InputReady(int timeoutMilliseconds) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    return poll(&input, 1, timeoutMilliseconds) > 0;
}

// Reads what standard input has now (waiting for it when asked) and turns it into
// records. The end of a non-terminal input is one key press, delivered once.
void Collect(bool wait) {
    if (InputSource == Source::Ended)
        return;
    if (!InputReady(wait ? -1 : 0))
        return;
    unsigned char bytes[256];
    const ssize_t count = read(STDIN_FILENO, bytes, sizeof bytes);
    if (count > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            INPUT_RECORD records[2];
            KeyRecordsForByte(bytes[i], records);
            Pending.push_back(records[0]);
            Pending.push_back(records[1]);
        }
        return;
    }
    if (count < 0 && errno == EINTR)
        return;
    // End of input (or a broken one): one last key press, then nothing more.
    INPUT_RECORD end{};
    end.EventType = KEY_EVENT;
    end.Event.KeyEvent.bKeyDown = TRUE;
    end.Event.KeyEvent.wRepeatCount = 1;
    Pending.push_back(end);
    InputSource = Source::Ended;
}

} // namespace

void KeyRecordsForByte(unsigned char byte, INPUT_RECORD records[2]) {
    WORD key = 0;
    DWORD state = 0;
    if (byte >= 'a' && byte <= 'z') {
        key = static_cast<WORD>(byte - 'a' + 'A');
    } else if (byte >= 'A' && byte <= 'Z') {
        key = byte;
        state = SHIFT_PRESSED;
    } else if (byte >= '0' && byte <= '9') {
        key = byte;
    } else if (byte == '\r' || byte == '\n') {
        key = VK_RETURN;
    } else if (byte == 0x1B) {
        key = VK_ESCAPE;
    } else if (byte == ' ') {
        key = VK_SPACE;
    } else if (byte == '\t') {
        key = VK_TAB;
    } else if (byte == 0x7F || byte == 0x08) {
        key = VK_BACK;
    } else if (byte >= 0x01 && byte <= 0x1A) {
        // Ctrl with a letter.
        key = static_cast<WORD>(byte - 0x01 + 'A');
        state = LEFT_CTRL_PRESSED;
    }
    for (int i = 0; i < 2; ++i) {
        INPUT_RECORD& record = records[i];
        record = INPUT_RECORD{};
        record.EventType = KEY_EVENT;
        record.Event.KeyEvent.bKeyDown = i == 0 ? TRUE : FALSE;
        record.Event.KeyEvent.wRepeatCount = 1;
        record.Event.KeyEvent.wVirtualKeyCode = key;
        record.Event.KeyEvent.uChar.AsciiChar = static_cast<CHAR>(byte);
        record.Event.KeyEvent.dwControlKeyState = state;
    }
}

void ResetTerminalInput() {
    Pending.clear();
    InputSource = Source::Unknown;
    Looked = false;
}

DWORD TerminalPendingRecords() {
    StartInput();
    if (!Looked || !RightAfterWait())
        Collect(false);
    Looked = false;
    return static_cast<DWORD>(Pending.size());
}

void LookAtTerminal() {
    if (InputSource != Source::Terminal && InputSource != Source::Stream)
        return;
    Collect(false);
    Looked = true;
}

BOOL ReadTerminalRecords(PINPUT_RECORD buffer, DWORD length, LPDWORD read) {
    StartInput();
    while (Pending.empty() && InputSource != Source::Ended)
        Collect(true);
    if (Pending.empty()) {
        // The input has ended and its last key was taken: nothing will ever come.
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD count = 0;
    while (count < length && !Pending.empty()) {
        buffer[count++] = Pending.front();
        Pending.pop_front();
    }
    *read = count;
    return TRUE;
}

bool TerminalAvailable() {
    return isatty(STDIN_FILENO) != 0;
}

int ReadTerminalKey() {
    EnterRawMode();
    unsigned char byte = 0;
    while (true) {
        const ssize_t count = read(STDIN_FILENO, &byte, 1);
        if (count == 1)
            return byte;
        if (count == 0 || errno != EINTR)
            return -1;
    }
}
