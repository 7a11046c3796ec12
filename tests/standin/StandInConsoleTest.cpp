// The stand-in's console: terminal bytes as key records, standard input that is not a
// terminal, the terminal mode and its restoring, and the scripted console of tests.
#include "StandInPrivate.h"

#include <gtest/gtest.h>

#include <csignal>
#include <iterator>
#include <string>
#include <vector>
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Runs the body with standard input replaced by the read end of a pipe holding text.
template <typename Body> void WithStandardInput(const std::string& text, Body body) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    ASSERT_EQ(write(pipeEnds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(pipeEnds[1]);
    const int savedInput = dup(STDIN_FILENO);
    dup2(pipeEnds[0], STDIN_FILENO);
    close(pipeEnds[0]);
    UseTerminalInput();
    body();
    dup2(savedInput, STDIN_FILENO);
    close(savedInput);
    StandInReset();
}

std::vector<INPUT_RECORD> ReadAll(HANDLE input) {
    std::vector<INPUT_RECORD> records;
    INPUT_RECORD buffer[3];
    DWORD read = 0;
    while (ReadConsoleInputA(input, buffer, 3, &read))
        records.insert(records.end(), buffer, buffer + read);
    return records;
}

struct Key {
    unsigned char byte;
    WORD virtualKey;
    DWORD controlKeys;
};

TEST(StandInTerminal, BytesBecomeKeyDownAndKeyUp) {
    StandInReset();
    const Key keys[] = {
        {'a', 'A', 0},
        {'z', 'Z', 0},
        {'Q', 'Q', SHIFT_PRESSED},
        {'7', '7', 0},
        {'\r', VK_RETURN, 0},
        {'\n', VK_RETURN, 0},
        {0x1B, VK_ESCAPE, 0},
        {' ', VK_SPACE, 0},
        {'\t', VK_TAB, 0},
        {0x7F, VK_BACK, 0},
        {0x03, 'C', LEFT_CTRL_PRESSED},
        {'#', 0, 0}, // no virtual key of its own: the character still counts
    };
    std::string typed;
    for (const Key& key : keys)
        typed += static_cast<char>(key.byte);
    WithStandardInput(typed, [&keys] {
        const std::vector<INPUT_RECORD> records = ReadAll(GetStdHandle(STD_INPUT_HANDLE));
        // Two records a byte, and the end of the input.
        ASSERT_EQ(records.size(), 2 * std::size(keys) + 1);
        for (size_t k = 0; k < std::size(keys); ++k) {
            const Key& key = keys[k];
            SCOPED_TRACE(static_cast<int>(key.byte));
            for (size_t i = 0; i < 2; ++i) {
                const INPUT_RECORD& record = records[2 * k + i];
                EXPECT_EQ(record.EventType, KEY_EVENT);
                const KEY_EVENT_RECORD& event = record.Event.KeyEvent;
                EXPECT_EQ(event.bKeyDown, i == 0 ? TRUE : FALSE);
                EXPECT_EQ(event.wRepeatCount, 1);
                EXPECT_EQ(event.wVirtualKeyCode, key.virtualKey);
                EXPECT_EQ(static_cast<unsigned char>(event.uChar.AsciiChar), key.byte);
                EXPECT_EQ(event.dwControlKeyState, key.controlKeys);
            }
        }
    });
}

TEST(StandInTerminal, InputThatIsNotATerminal) {
    StandInReset();
    {
        SCOPED_TRACE("every byte is a key press, the end of input one more, once");
        WithStandardInput("a\n", [] {
            HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
            DWORD count = 0;
            ASSERT_TRUE(GetNumberOfConsoleInputEvents(input, &count));
            EXPECT_EQ(count, 4u);
            const std::vector<INPUT_RECORD> records = ReadAll(input);
            ASSERT_EQ(records.size(), 5u);
            EXPECT_EQ(records[0].Event.KeyEvent.wVirtualKeyCode, 'A');
            EXPECT_EQ(records[2].Event.KeyEvent.wVirtualKeyCode, VK_RETURN);
            EXPECT_TRUE(records[4].Event.KeyEvent.bKeyDown);
            EXPECT_EQ(records[4].EventType, KEY_EVENT);
            ASSERT_TRUE(GetNumberOfConsoleInputEvents(input, &count));
            EXPECT_EQ(count, 0u);
        });
    }
    {
        SCOPED_TRACE("an empty input is one key press");
        WithStandardInput("", [] {
            HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
            DWORD count = 0;
            ASSERT_TRUE(GetNumberOfConsoleInputEvents(input, &count));
            EXPECT_EQ(count, 1u);
            EXPECT_EQ(ReadAll(input).size(), 1u);
        });
    }
}

bool Canonical(int descriptor) {
    termios mode{};
    tcgetattr(descriptor, &mode);
    return (mode.c_lflag & ICANON) != 0 && (mode.c_lflag & ECHO) != 0;
}

enum class Ending { Exit, Signal, StopThenExit };

// In a child on a pseudo terminal: the first console call switches the terminal to
// key-by-key input without echo; a typed key arrives; then the child ends as asked (or is
// stopped by the signal, continued, and ends). While it is stopped the terminal is in the
// shell's mode, as a shell that takes the terminal back sets it. Returns the child's wait
// status; the terminal must be restored at the end, and while the child is stopped.
int RunOnTerminal(Ending ending, int signal, bool* restored, bool* restoredWhileStopped) {
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        // A group of its own under this process: a stop signal stops it even where the
        // test runs in an orphaned group (as under CI), whose stops the kernel discards.
        setpgid(0, 0);
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore); // SIGQUIT ends without a core file
        dup2(slave, STDIN_FILENO);
        UseTerminalInput();
        HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        DWORD count = 0;
        GetNumberOfConsoleInputEvents(input, &count);
        if (Canonical(STDIN_FILENO))
            _exit(10);
        INPUT_RECORD record{};
        DWORD read = 0;
        if (!ReadConsoleInputA(input, &record, 1, &read) || read != 1 ||
            record.Event.KeyEvent.wVirtualKeyCode != 'Q')
            _exit(11);
        if (ending != Ending::Exit)
            raise(signal);
        // Continued: the run's mode is back.
        if (Canonical(STDIN_FILENO))
            _exit(12);
        std::exit(0);
    }
    const char typed = 'q';
    if (write(master, &typed, 1) != 1)
        kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, WUNTRACED);
    if (WIFSTOPPED(status)) {
        *restoredWhileStopped = Canonical(slave);
        termios shell{};
        tcgetattr(slave, &shell);
        shell.c_lflag |= ICANON | ECHO;
        tcsetattr(slave, TCSANOW, &shell);
        kill(child, SIGCONT);
        waitpid(child, &status, 0);
    }
    *restored = Canonical(slave);
    close(master);
    close(slave);
    return status;
}

TEST(StandInTerminal, TheTerminalIsRestoredOnEveryWayOut) {
    bool restored = false;
    bool restoredWhileStopped = false;
    {
        SCOPED_TRACE("normal exit");
        const int status = RunOnTerminal(Ending::Exit, 0, &restored, &restoredWhileStopped);
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_TRUE(restored);
    }
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(signal);
        restored = false;
        const int status = RunOnTerminal(Ending::Signal, signal, &restored, &restoredWhileStopped);
        ASSERT_TRUE(WIFSIGNALED(status)) << status;
        EXPECT_EQ(WTERMSIG(status), signal) << "the signal still ends the process";
        EXPECT_TRUE(restored);
    }
    for (int signal : {SIGTSTP, SIGTTIN, SIGTTOU}) {
        SCOPED_TRACE(signal);
        restored = restoredWhileStopped = false;
        const int status =
            RunOnTerminal(Ending::StopThenExit, signal, &restored, &restoredWhileStopped);
        EXPECT_TRUE(restoredWhileStopped) << "the shell has its terminal while the program stops";
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 0) << "12: the run's mode was not taken again";
        EXPECT_TRUE(restored);
    }
    {
        SCOPED_TRACE("SIGSTOP, which the program cannot see coming");
        restored = false;
        const int status =
            RunOnTerminal(Ending::StopThenExit, SIGSTOP, &restored, &restoredWhileStopped);
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 0) << "12: the run's mode was not taken again";
        EXPECT_TRUE(restored);
    }
}

TEST(StandInConsole, ScriptedInputBecomesVisibleOnTime) {
    StandInReset();
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    StandInQueueConsoleInput(StandInKeyEvent('A', true, 'a'));
    StandInQueueConsoleInput(StandInKeyEvent('A', false, 'a'));
    StandInQueueConsoleInput(StandInKeyEvent('B', true, 'b'), 100);
    DWORD count = 0;
    {
        SCOPED_TRACE("records due at once");
        ASSERT_TRUE(GetNumberOfConsoleInputEvents(input, &count));
        EXPECT_EQ(count, 2u);
    }
    {
        SCOPED_TRACE("reading takes what is visible");
        INPUT_RECORD records[4];
        DWORD read = 0;
        ASSERT_TRUE(ReadConsoleInputA(input, records, 4, &read));
        ASSERT_EQ(read, 2u);
        EXPECT_TRUE(records[0].Event.KeyEvent.bKeyDown);
        EXPECT_EQ(records[0].Event.KeyEvent.uChar.AsciiChar, 'a');
        EXPECT_FALSE(records[1].Event.KeyEvent.bKeyDown);
        ASSERT_TRUE(GetNumberOfConsoleInputEvents(input, &count));
        EXPECT_EQ(count, 0u);
    }
    {
        SCOPED_TRACE("the clock reaches the next record");
        Sleep(99);
        ASSERT_TRUE(GetNumberOfConsoleInputEvents(input, &count));
        EXPECT_EQ(count, 0u);
        Sleep(1);
        ASSERT_TRUE(GetNumberOfConsoleInputEvents(input, &count));
        EXPECT_EQ(count, 1u);
    }
}

TEST(StandInConsole, ReadingWaitsForTheNextRecord) {
    StandInReset();
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    StandInQueueConsoleInput(StandInKeyEvent(VK_SPACE, true, ' '), 250);
    INPUT_RECORD record{};
    DWORD read = 0;
    ASSERT_TRUE(ReadConsoleInputA(input, &record, 1, &read));
    EXPECT_EQ(read, 1u);
    EXPECT_EQ(record.Event.KeyEvent.wVirtualKeyCode, VK_SPACE);
    EXPECT_EQ(GetTickCount(), 250u) << "the virtual clock moved on to the key";
    {
        SCOPED_TRACE("nothing more will come: the read fails instead of hanging");
        EXPECT_FALSE(ReadConsoleInputA(input, &record, 1, &read));
        EXPECT_EQ(read, 0u);
    }
}

TEST(StandInConsole, VisibilityAcrossTheTickWrap) {
    StandInReset();
    StandInUseVirtualClock(0xFFFFFF00u);
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    StandInQueueConsoleInput(StandInKeyEvent('X', true, 'x'), 0x100);
    DWORD count = 0;
    ASSERT_TRUE(GetNumberOfConsoleInputEvents(input, &count));
    EXPECT_EQ(count, 0u) << "0x100 lies after the wrap, not before";
    Sleep(0x1FF);
    ASSERT_TRUE(GetNumberOfConsoleInputEvents(input, &count));
    EXPECT_EQ(count, 0u);
    Sleep(1);
    ASSERT_TRUE(GetNumberOfConsoleInputEvents(input, &count));
    EXPECT_EQ(count, 1u);
    {
        SCOPED_TRACE("a time already passed is due at once");
        StandInQueueConsoleInput(StandInKeyEvent('Y', true, 'y'), 5);
        ASSERT_TRUE(GetNumberOfConsoleInputEvents(input, &count));
        EXPECT_EQ(count, 2u);
    }
}

TEST(StandInConsole, OtherEventsPassThrough) {
    StandInReset();
    INPUT_RECORD mouse{};
    mouse.EventType = MOUSE_EVENT;
    mouse.Event.MouseEvent.dwMousePosition = COORD{3, 4};
    INPUT_RECORD focus{};
    focus.EventType = FOCUS_EVENT;
    focus.Event.FocusEvent.bSetFocus = TRUE;
    StandInQueueConsoleInput(mouse);
    StandInQueueConsoleInput(focus);
    INPUT_RECORD records[2];
    DWORD read = 0;
    ASSERT_TRUE(ReadConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), records, 2, &read));
    ASSERT_EQ(read, 2u);
    EXPECT_EQ(records[0].EventType, MOUSE_EVENT);
    EXPECT_EQ(records[0].Event.MouseEvent.dwMousePosition.Y, 4);
    EXPECT_EQ(records[1].EventType, FOCUS_EVENT);
}

TEST(StandInConsole, BadHandles) {
    StandInReset();
    DWORD count = 7;
    INPUT_RECORD record{};
    DWORD read = 7;
    EXPECT_FALSE(GetNumberOfConsoleInputEvents(GetStdHandle(STD_OUTPUT_HANDLE), &count));
    EXPECT_FALSE(ReadConsoleInputA(GetStdHandle(STD_OUTPUT_HANDLE), &record, 1, &read));
    EXPECT_EQ(read, 0u);
    DWORD written = 7;
    EXPECT_FALSE(WriteFile(GetStdHandle(STD_INPUT_HANDLE), "x", 1, &written, nullptr));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(StandInConsole, OutputIsRecordedInOrder) {
    StandInReset();
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "one\r\n", 5, &written, nullptr));
    EXPECT_EQ(written, 5u);
    ASSERT_TRUE(WriteFile(GetStdHandle(STD_ERROR_HANDLE), "two", 3, &written, nullptr));
    EXPECT_EQ(StandInConsoleOutput(), "one\r\ntwo");
    StandInReset();
    EXPECT_EQ(StandInConsoleOutput(), "");
}

} // namespace
