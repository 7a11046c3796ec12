// The console's input in a page: keys typed into the console panel, queued by the page's
// script as key-down and key-up records. There is no terminal to ask questions on.
#include "PageWait.h"

#include <StandInEdge.h>

#include <emscripten.h>

// The next record of the console panel packed as (down << 24) | (ascii << 16) | virtual
// key, or -1 when none is queued.
EM_JS(int, PageNextConsoleRecord, (), { return BumpPage.nextConsoleRecord(); });
EM_JS(int, PageConsoleRecordCount, (), { return BumpPage.consoleRecordCount(); });

namespace {

INPUT_RECORD Unpacked(int packed) {
    INPUT_RECORD record{};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.bKeyDown = (packed >> 24) != 0 ? TRUE : FALSE;
    record.Event.KeyEvent.wRepeatCount = 1;
    record.Event.KeyEvent.wVirtualKeyCode = static_cast<WORD>(packed & 0xFFFF);
    record.Event.KeyEvent.uChar.AsciiChar = static_cast<CHAR>((packed >> 16) & 0xFF);
    return record;
}

} // namespace

void ResetTerminalInput() {}

DWORD TerminalPendingRecords() {
    return static_cast<DWORD>(PageConsoleRecordCount());
}

BOOL ReadTerminalRecords(PINPUT_RECORD buffer, DWORD length, LPDWORD read) {
    // Waits for the person, giving the page its turn meanwhile.
    while (PageConsoleRecordCount() == 0)
        WaitInPage(10);
    DWORD count = 0;
    for (int packed; count < length && (packed = PageNextConsoleRecord()) >= 0;)
        buffer[count++] = Unpacked(packed);
    *read = count;
    return TRUE;
}

bool TerminalAvailable() {
    return false;
}

int ReadTerminalKey() {
    return -1;
}
