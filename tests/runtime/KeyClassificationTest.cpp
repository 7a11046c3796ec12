// Which console input events count as a key press: every target, with its own windows.h.
#include "Console.h"

#include <gtest/gtest.h>

#include <string>

namespace {

INPUT_RECORD KeyRecord(WORD virtualKey, bool down) {
    INPUT_RECORD record = {};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.bKeyDown = down ? TRUE : FALSE;
    record.Event.KeyEvent.wRepeatCount = 1;
    record.Event.KeyEvent.wVirtualKeyCode = virtualKey;
    return record;
}

TEST(KeyClassification, ModifierAndLockKeysNeverCount) {
    const WORD keys[] = {VK_SHIFT,  VK_CONTROL, VK_MENU,     VK_CAPITAL,  VK_NUMLOCK, VK_SCROLL,
                         VK_LSHIFT, VK_RSHIFT,  VK_LCONTROL, VK_RCONTROL, VK_LMENU,   VK_RMENU};
    for (WORD key : keys) {
        SCOPED_TRACE("virtual key " + std::to_string(key));
        EXPECT_FALSE(IsKeyPress(KeyRecord(key, true)));
    }
}

TEST(KeyClassification, OtherKeysCountWhenPressedNotWhenReleased) {
    const WORD keys[] = {'A', '0', VK_SPACE, VK_RETURN, VK_ESCAPE, VK_F1, VK_PAUSE, VK_LEFT};
    for (WORD key : keys) {
        SCOPED_TRACE("virtual key " + std::to_string(key));
        EXPECT_TRUE(IsKeyPress(KeyRecord(key, true)));
        EXPECT_FALSE(IsKeyPress(KeyRecord(key, false)));
    }
}

TEST(KeyClassification, OtherEventsNeverCount) {
    // Each record carries bytes that would read as a key-down of 'A' if the type were ignored.
    const WORD types[] = {MOUSE_EVENT, WINDOW_BUFFER_SIZE_EVENT, MENU_EVENT, FOCUS_EVENT};
    for (WORD type : types) {
        SCOPED_TRACE("event type " + std::to_string(type));
        INPUT_RECORD record = KeyRecord('A', true);
        record.EventType = type;
        EXPECT_FALSE(IsKeyPress(record));
    }
}

} // namespace
