// The console key check, key read and text output on the stand-in's scripted console.
#include "Console.h"

#include <StandIn.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

class ConsoleTest : public testing::Test {
  protected:
    void SetUp() override {
        StandInReset();
        InitConsole();
        // A key left pending by an earlier test belongs to no one now.
        while (ConsoleKeyPressed())
            ReadConsoleKey();
        StandInClearCallLog();
    }

    static void Queue(WORD key, bool down, char ascii = 0, DWORD tick = 0) {
        StandInQueueConsoleInput(StandInKeyEvent(key, down, ascii), tick);
    }

    static DWORD EventsLeft() {
        DWORD count = 0;
        EXPECT_TRUE(GetNumberOfConsoleInputEvents(GetStdHandle(STD_INPUT_HANDLE), &count));
        return count;
    }

    static long Calls(const std::string& name) {
        const auto names = StandInCallNames();
        return std::count(names.begin(), names.end(), name);
    }
};

INPUT_RECORD OtherEvent(WORD type) {
    INPUT_RECORD record = {};
    record.EventType = type;
    return record;
}

TEST_F(ConsoleTest, EventsThatAreNoKeyPressAreConsumedWithoutCounting) {
    struct Case {
        const char* label;
        INPUT_RECORD record;
    };
    const Case cases[] = {
        {"Shift", StandInKeyEvent(VK_SHIFT, true)},
        {"Ctrl", StandInKeyEvent(VK_CONTROL, true)},
        {"Alt", StandInKeyEvent(VK_MENU, true)},
        {"Caps Lock", StandInKeyEvent(VK_CAPITAL, true)},
        {"Num Lock", StandInKeyEvent(VK_NUMLOCK, true)},
        {"Scroll Lock", StandInKeyEvent(VK_SCROLL, true)},
        {"release of a letter", StandInKeyEvent('A', false, 'a')},
        {"mouse", OtherEvent(MOUSE_EVENT)},
        {"focus", OtherEvent(FOCUS_EVENT)},
        {"menu", OtherEvent(MENU_EVENT)},
        {"buffer size", OtherEvent(WINDOW_BUFFER_SIZE_EVENT)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        StandInQueueConsoleInput(c.record);
        StandInQueueConsoleInput(c.record);
        EXPECT_FALSE(ConsoleKeyPressed());
        EXPECT_EQ(EventsLeft(), 0u);
    }
}

TEST_F(ConsoleTest, KeyPressStaysPendingUntilRead) {
    Queue('A', true, 'a');
    Queue('A', false, 'a');
    EXPECT_TRUE(ConsoleKeyPressed());
    // The check stops at the key press: the release after it is still waiting.
    EXPECT_EQ(EventsLeft(), 1u);
    StandInClearCallLog();
    EXPECT_TRUE(ConsoleKeyPressed());
    EXPECT_EQ(Calls("ReadConsoleInputA"), 0);

    EXPECT_EQ(ReadConsoleKey(), 'a');
    EXPECT_FALSE(ConsoleKeyPressed());
    EXPECT_EQ(EventsLeft(), 0u);
}

TEST_F(ConsoleTest, EveryKeyPressIsTakenOnce) {
    Queue(VK_SHIFT, true);
    Queue('B', true, 'B');
    Queue('B', false, 'B');
    Queue(VK_SHIFT, false);
    Queue('C', true, 'c');
    Queue(VK_F1, true); // a key without a character
    Queue('C', false, 'c');

    std::string keys;
    while (ConsoleKeyPressed())
        keys += ReadConsoleKey();
    EXPECT_EQ(keys, std::string("Bc") + '\0');
    EXPECT_EQ(EventsLeft(), 0u);
}

TEST_F(ConsoleTest, CheckNeverWaitsForInputStillToCome) {
    Queue('A', true, 'a', 100);
    EXPECT_FALSE(ConsoleKeyPressed());
    EXPECT_EQ(GetTickCount(), 0u);
    StandInAdvanceClock(100);
    EXPECT_TRUE(ConsoleKeyPressed());
}

TEST_F(ConsoleTest, ReadWaitsForTheNextKeyPress) {
    Queue(VK_SHIFT, true, 0, 200);
    Queue('Q', true, 'q', 300);
    EXPECT_EQ(ReadConsoleKey(), 'q');
    EXPECT_EQ(GetTickCount(), 300u);
}

TEST_F(ConsoleTest, ReadGivesUpWhenTheInputCannotBeRead) {
    // The scripted console fails a read that nothing will ever answer.
    EXPECT_EQ(ReadConsoleKey(), '\0');
    StandInFailCall("ReadConsoleInputA");
    Queue('A', true, 'a');
    EXPECT_EQ(ReadConsoleKey(), '\0');
}

TEST_F(ConsoleTest, CheckAnswersNoWhenTheEventsCannotBeCounted) {
    Queue('A', true, 'a');
    StandInFailCall("GetNumberOfConsoleInputEvents");
    EXPECT_FALSE(ConsoleKeyPressed());
}

TEST_F(ConsoleTest, TextGoesToTheOutputHandleAsItStands) {
    WriteConsoleText("\r\nline\r\n");
    WriteConsoleText("");
    EXPECT_EQ(StandInConsoleOutput(), "\r\nline\r\n");
    const auto calls = StandInCallLog();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "WriteFile(ptr, ptr, 8, ptr, NULL)");
}

TEST_F(ConsoleTest, FailedWriteIsNotRetried) {
    StandInFailCall("WriteFile");
    WriteConsoleText("text");
    EXPECT_EQ(Calls("WriteFile"), 1);
    EXPECT_EQ(StandInConsoleOutput(), "");
}

} // namespace
