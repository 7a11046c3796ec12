// The console: standard handles, WriteFile to standard output and error, and the input
// events, from the scripted queue in tests or from the terminal in a real run.
#include "StandInPrivate.h"

#include <deque>
#include <unistd.h>

namespace {

// The standard handles are the addresses of these objects.
int StdInput;
int StdOutput;
int StdError;

struct QueuedInput {
    INPUT_RECORD record;
    DWORD queuedAt;
    DWORD visibleAt;
};

bool Scripted = false;
std::deque<QueuedInput> ScriptedInput;
std::string Output;

// The record is visible once the clock has gone from queuedAt to visibleAt; a
// visibleAt that lies behind queuedAt (such as the default 0) is visible at once.
bool IsVisible(const QueuedInput& input, DWORD now) {
    const DWORD distance = input.visibleAt - input.queuedAt;
    if (distance >= 0x80000000u)
        return true;
    return now - input.queuedAt >= distance;
}

DWORD VisibleScriptedRecords() {
    const DWORD now = CurrentTicks();
    DWORD count = 0;
    for (const QueuedInput& input : ScriptedInput) {
        if (!IsVisible(input, now))
            break;
        ++count;
    }
    return count;
}

BOOL ReadScriptedInput(PINPUT_RECORD buffer, DWORD length, LPDWORD read) {
    if (ScriptedInput.empty()) {
        // Nobody will ever type here: fail rather than wait for ever.
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // Reading waits for the next record: the virtual clock moves on to its time.
    if (VisibleScriptedRecords() == 0)
        WaitUntilTicks(ScriptedInput.front().visibleAt);
    const DWORD available = VisibleScriptedRecords();
    DWORD count = 0;
    while (count < length && count < available) {
        buffer[count] = ScriptedInput.front().record;
        ScriptedInput.pop_front();
        ++count;
    }
    *read = count;
    return TRUE;
}

} // namespace

HANDLE WINAPI GetStdHandle(DWORD stdHandle) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("GetStdHandle", {Arg(static_cast<int>(stdHandle))}, &failure))
        return INVALID_HANDLE_VALUE;
    switch (stdHandle) {
    case STD_INPUT_HANDLE:
        return &StdInput;
    case STD_OUTPUT_HANDLE:
        return &StdOutput;
    case STD_ERROR_HANDLE:
        return &StdError;
    default:
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_HANDLE_VALUE;
    }
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                      void* overlapped) {
    if (bytesWritten != nullptr)
        *bytesWritten = 0;
    LONG_PTR failure = 0;
    if (LoggedCallFails(
            "WriteFile",
            {Arg(file), Arg(buffer), Arg(bytesToWrite), Arg(bytesWritten), Arg(overlapped)},
            &failure))
        return FALSE;
    if (file != &StdOutput && file != &StdError) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const char* bytes = static_cast<const char*>(buffer);
    Output.append(bytes, bytesToWrite);
    const int descriptor = file == &StdOutput ? STDOUT_FILENO : STDERR_FILENO;
    DWORD done = 0;
    while (done < bytesToWrite) {
        const ssize_t written = write(descriptor, bytes + done, bytesToWrite - done);
        if (written <= 0)
            break; // the text is recorded; a closed stream does not fail the program
        done += static_cast<DWORD>(written);
    }
    if (bytesWritten != nullptr)
        *bytesWritten = bytesToWrite;
    return TRUE;
}

BOOL WINAPI GetNumberOfConsoleInputEvents(HANDLE consoleInput, LPDWORD numberOfEvents) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("GetNumberOfConsoleInputEvents", {Arg(consoleInput), Arg(numberOfEvents)},
                        &failure))
        return FALSE;
    if (consoleInput != &StdInput || numberOfEvents == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *numberOfEvents = Scripted ? VisibleScriptedRecords() : TerminalPendingRecords();
    return TRUE;
}

BOOL WINAPI ReadConsoleInputA(HANDLE consoleInput, PINPUT_RECORD buffer, DWORD length,
                              LPDWORD numberOfEventsRead) {
    if (numberOfEventsRead != nullptr)
        *numberOfEventsRead = 0;
    LONG_PTR failure = 0;
    if (LoggedCallFails("ReadConsoleInputA",
                        {Arg(consoleInput), Arg(buffer), Arg(length), Arg(numberOfEventsRead)},
                        &failure))
        return FALSE;
    if (consoleInput != &StdInput || buffer == nullptr || numberOfEventsRead == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (length == 0)
        return TRUE;
    if (Scripted)
        return ReadScriptedInput(buffer, length, numberOfEventsRead);
    return ReadTerminalRecords(buffer, length, numberOfEventsRead);
}

void UseTerminalInput() {
    Scripted = false;
    ResetTerminalInput();
}

void ResetConsole() {
    Scripted = true;
    ScriptedInput.clear();
    Output.clear();
}

void StandInQueueConsoleInput(const INPUT_RECORD& record, DWORD visibleAtTick) {
    ScriptedInput.push_back(QueuedInput{record, CurrentTicks(), visibleAtTick});
}

INPUT_RECORD StandInKeyEvent(WORD virtualKey, bool keyDown, char ascii) {
    INPUT_RECORD record{};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.bKeyDown = keyDown ? TRUE : FALSE;
    record.Event.KeyEvent.wRepeatCount = 1;
    record.Event.KeyEvent.wVirtualKeyCode = virtualKey;
    record.Event.KeyEvent.uChar.AsciiChar = ascii;
    return record;
}

std::string StandInConsoleOutput() {
    return Output;
}
