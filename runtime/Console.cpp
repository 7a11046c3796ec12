#include "Console.h"

#include <cstring>

namespace {

HANDLE InputHandle = nullptr;
HANDLE OutputHandle = nullptr;

// A key press found by ConsoleKeyPressed and not yet taken by ReadConsoleKey.
bool KeyPending = false;
char PendingKey = 0;

bool IsModifierKey(WORD virtualKey) {
    switch (virtualKey) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
    case VK_LSHIFT:
    case VK_RSHIFT:
    case VK_LCONTROL:
    case VK_RCONTROL:
    case VK_LMENU:
    case VK_RMENU:
        return true;
    default:
        return false;
    }
}

// Takes one input event and keeps it pending when it is a key press. With wait false it
// never blocks; false means no event was taken.
bool TakeInputEvent(bool wait) {
    if (!wait) {
        DWORD available = 0;
        if (!GetNumberOfConsoleInputEvents(InputHandle, &available) || available == 0)
            return false;
    }
    INPUT_RECORD record = {};
    DWORD read = 0;
    if (!ReadConsoleInputA(InputHandle, &record, 1, &read) || read == 0)
        return false;
    if (IsKeyPress(record)) {
        KeyPending = true;
        PendingKey = record.Event.KeyEvent.uChar.AsciiChar;
    }
    return true;
}

} // namespace

bool IsKeyPress(const INPUT_RECORD& record) {
    return record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
           !IsModifierKey(record.Event.KeyEvent.wVirtualKeyCode);
}

void InitConsole() {
    InputHandle = GetStdHandle(STD_INPUT_HANDLE);
    OutputHandle = GetStdHandle(STD_OUTPUT_HANDLE);
}

void WriteConsoleText(const char* text) {
    // WriteFile, unlike WriteConsoleA, also works when the output goes to a file or pipe.
    std::size_t left = std::strlen(text);
    while (left > 0) {
        DWORD written = 0;
        if (!WriteFile(OutputHandle, text, static_cast<DWORD>(left), &written, nullptr) ||
            written == 0)
            return;
        text += written;
        left -= written;
    }
}

bool ConsoleKeyPressed() {
    while (!KeyPending && TakeInputEvent(false)) {
    }
    return KeyPending;
}

char ReadConsoleKey() {
    // A console whose input cannot be read gives up rather than waiting forever.
    while (!KeyPending && TakeInputEvent(true)) {
    }
    if (!KeyPending)
        return 0;
    KeyPending = false;
    return PendingKey;
}
