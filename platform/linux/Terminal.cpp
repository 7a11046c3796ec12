// Console input in a real run: the bytes of standard input become key events. A
// terminal is switched to key-by-key input without echo for the run (TerminalMode.cpp);
// any other input counts each byte, and its end once, as a key press.
#include "Terminal.h"

#include <StandInEdge.h>

#include <cerrno>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// A standard descriptor the program was started without is opened on /dev/null before
// anything else opens a file: the first file opened would otherwise take its number, and
// the X server's connection, say, be read as the console's keys. A closed standard input
// then ends as an empty one does.
[[gnu::constructor(101)]] void OpenMissingStandardDescriptors() {
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int opened = open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != descriptor) {
            dup2(opened, descriptor);
            close(opened);
        }
    }
}

enum class Source { Unknown, Terminal, Stream, Ended };
// How often a wait for a key looks whether the program is back in the foreground.
constexpr int BackgroundLookInterval = 100; // milliseconds

Source InputSource = Source::Unknown;
std::deque<INPUT_RECORD> Pending;
// A look at standard input at the end of a wait: it stands for the next count of records
// taken right after it.
bool Looked = false;

// The key-down and key-up records of one byte typed.
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
    if (InputSource == Source::Terminal) {
        // From the background a read would stop the program (SIGTTIN): what is typed
        // there belongs to the shell. Back in the foreground the run's mode is retaken.
        if (!InTerminalForeground()) {
            if (wait)
                poll(nullptr, 0, BackgroundLookInterval);
            return;
        }
        KeepRunMode();
    }
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
