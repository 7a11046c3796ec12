// Whole runs of the program on the stand-in: start-up, the question, the frame loop on the
// virtual clock, the drain, the report and the finalisers. Each run is a child process.
#include "ChildDump.h"
#include "Demo.h"
#include "VideoOutput.h"

#include <StandIn.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <set>

namespace {

// Registered before the modules, so it runs after their finalisers.
void PrintCounters() {
    std::fprintf(stderr, "frames=%u time=%d elapsed=%u fullscreen=%d\n", FrameCount, AnimationTime,
                 ElapsedTicks, FullScreen ? 1 : 0);
}

// The program as main runs it, in the child.
[[noreturn]] void RunProgram(const std::string& recordPath) {
    StandInDumpAtExit(recordPath);
    std::atexit(PrintCounters);
    InitialiseModules();
    DemoMain();
}

void QueueKey(WORD key, char ascii, DWORD tick) {
    StandInQueueConsoleInput(StandInKeyEvent(key, true, ascii), tick);
    StandInQueueConsoleInput(StandInKeyEvent(key, false, ascii), tick);
}

INPUT_RECORD OtherEvent(WORD type) {
    INPUT_RECORD record = {};
    record.EventType = type;
    return record;
}

const char* const Report2000 = "\r\n\r\nBENCHMARK: 20.00 FPS\r\n";

class DemoRunTest : public testing::Test {
  protected:
    void SetUp() override {
        StandInReset();
        path = ChildDumpPath();
    }
    std::string path;
};

// The calls that mark the steps of a run, each run of repeats counted once.
std::vector<std::string> Milestones(const StandInDump& record) {
    static const std::set<std::string> marks = {
        "GetStdHandle",
        "GetVersionExA",
        "GetModuleFileNameA",
        "CharLowerBuffA",
        "LoadLibraryA",
        "GetProcAddress",
        "MessageBoxA",
        "CreateWindowExA",
        "GetTickCount",
        "Sleep",
        "IDirectDrawSurface4::Lock",
        "IDirectDrawSurface4::Unlock",
        "IDirectDrawSurface4::Blt",
        "IDirectDrawSurface4::Flip",
        "PeekMessageA",
        "GetNumberOfConsoleInputEvents",
        "ReadConsoleInputA",
        "WriteFile",
        "FreeLibrary",
    };
    std::vector<std::string> result;
    for (const std::string& name : record.callNames)
        if (marks.count(name) != 0 && (result.empty() || result.back() != name))
            result.push_back(name);
    return result;
}

TEST_F(DemoRunTest, CallOrderOfAWholeRun) {
    StandInQueueMessageBoxAnswer(IDNO);
    QueueKey('X', 'x', 100);
    EXPECT_EXIT(RunProgram(path), testing::ExitedWithCode(0),
                "frames=2 time=2 elapsed=100 fullscreen=0");
    const StandInDump record = StandInReadDump(path);

    const std::vector<std::string> frame = {"Sleep",
                                            "IDirectDrawSurface4::Lock",
                                            "IDirectDrawSurface4::Unlock",
                                            "IDirectDrawSurface4::Blt",
                                            "PeekMessageA",
                                            "GetNumberOfConsoleInputEvents"};
    std::vector<std::string> expected = {"GetStdHandle",   "GetVersionExA",   "GetModuleFileNameA",
                                         "CharLowerBuffA", "LoadLibraryA",    "GetProcAddress",
                                         "MessageBoxA",    "CreateWindowExA", "GetTickCount"};
    expected.insert(expected.end(), frame.begin(), frame.end());
    expected.insert(expected.end(), frame.begin(), frame.end());
    // The key down ends the loop; the drain takes the key and consumes the release.
    for (const char* name :
         {"ReadConsoleInputA", "GetTickCount", "GetNumberOfConsoleInputEvents", "ReadConsoleInputA",
          "GetNumberOfConsoleInputEvents", "WriteFile", "FreeLibrary"})
        expected.push_back(name);
    EXPECT_EQ(Milestones(record), expected);

    const auto& calls = record.calls;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "GetStdHandle(-10)"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "GetStdHandle(-11)"), 1);
    // Before the question: the two frame buffers and no other allocation.
    std::vector<std::string> allocations;
    for (long i = 0; i < FirstCall(record, "MessageBoxA"); ++i)
        if (record.callNames[i] == "HeapAlloc")
            allocations.push_back(calls[i]);
    EXPECT_EQ(allocations, std::vector<std::string>(2, "HeapAlloc(ptr, 0, 256000)"));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Sleep(50)"), 2);
    EXPECT_EQ(CountCalls(record, "FreeLibrary"), 1);
    EXPECT_EQ(BoxTexts(record), std::vector<std::string>{"Fullscreen?"});
    EXPECT_EQ(record.console, Report2000);
}

TEST_F(DemoRunTest, MeasuredSpanHoldsTheEffectsSetUpAndRelease) {
    StandInQueueMessageBoxAnswer(IDNO);
    QueueKey('X', 'x', 100);
    EXPECT_EXIT(RunProgram(path), testing::ExitedWithCode(0), "frames=2 ");
    const StandInDump record = StandInReadDump(path);
    // The effect's buffers are the only blocks allocated after the question, and freed.
    const std::vector<std::string>& names = record.callNames;
    const long question = FirstCall(record, "MessageBoxA");
    ASSERT_GE(question, 0);
    const long firstEffectAllocation =
        std::find(names.begin() + question, names.end(), "HeapAlloc") - names.begin();
    ASSERT_LT(firstEffectAllocation, long(names.size()));
    ASSERT_EQ(CountCalls(record, "HeapFree"), 2);
    EXPECT_EQ(CountCalls(record, "GetTickCount"), 2);
    EXPECT_LT(FirstCall(record, "GetTickCount"), firstEffectAllocation);
    EXPECT_GT(LastCall(record, "GetTickCount"), LastCall(record, "HeapFree"));
}

TEST_F(DemoRunTest, KeyPendingBeforeTheFirstFrameGivesExactlyOneFrame) {
    StandInQueueMessageBoxAnswer(IDYES);
    QueueKey('A', 'a', 0);
    EXPECT_EXIT(RunProgram(path), testing::ExitedWithCode(0), "frames=1 time=1 elapsed=50 ");
    const StandInDump record = StandInReadDump(path);
    EXPECT_EQ(CountCalls(record, "Sleep"), 1);
    EXPECT_EQ(CountCalls(record, "IDirectDrawSurface4::Flip"), 1);
    EXPECT_EQ(record.console, Report2000);
}

TEST_F(DemoRunTest, ModifiersReleasesAndOtherEventsDoNotStopTheLoop) {
    StandInQueueMessageBoxAnswer(IDNO);
    for (WORD key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_CAPITAL, VK_NUMLOCK, VK_SCROLL}) {
        StandInQueueConsoleInput(StandInKeyEvent(key, true), 0);
        StandInQueueConsoleInput(StandInKeyEvent(key, false), 50);
    }
    StandInQueueConsoleInput(StandInKeyEvent('A', false, 'a'), 100);
    for (WORD type : {MOUSE_EVENT, FOCUS_EVENT, MENU_EVENT, WINDOW_BUFFER_SIZE_EVENT})
        StandInQueueConsoleInput(OtherEvent(type), 150);
    QueueKey('Q', 'q', 250);
    EXPECT_EXIT(RunProgram(path), testing::ExitedWithCode(0), "frames=5 time=5 elapsed=250 ");
    EXPECT_EQ(StandInReadDump(path).console, Report2000);
}

TEST_F(DemoRunTest, DrainTakesEveryPendingKeyAndWaitsForNone) {
    StandInQueueMessageBoxAnswer(IDNO);
    QueueKey('A', 'a', 100);
    QueueKey('B', 'b', 100);
    QueueKey(VK_RETURN, '\r', 100);
    QueueKey('Z', 'z', 100000); // typed long after the run: nobody waits for it
    EXPECT_EXIT(RunProgram(path), testing::ExitedWithCode(0), "frames=2 time=2 elapsed=100 ");
    const StandInDump record = StandInReadDump(path);
    // Three presses and three releases, all read after the end of the measured span.
    EXPECT_EQ(CountCalls(record, "ReadConsoleInputA"), 6);
    EXPECT_LT(LastCall(record, "ReadConsoleInputA"), FirstCall(record, "WriteFile"));
    EXPECT_EQ(record.console, Report2000);
}

TEST_F(DemoRunTest, ReportOfAHundredFramesInFiveSeconds) {
    StandInQueueMessageBoxAnswer(IDYES);
    QueueKey(VK_SPACE, ' ', 5000);
    EXPECT_EXIT(RunProgram(path), testing::ExitedWithCode(0), "frames=100 time=100 elapsed=5000 ");
    EXPECT_EQ(StandInReadDump(path).console, Report2000);
}

TEST_F(DemoRunTest, TickCounterWrapDuringTheRun) {
    const DWORD start = 0xFFFFFFFFu - 120;
    StandInUseVirtualClock(start);
    StandInQueueMessageBoxAnswer(IDNO);
    QueueKey('K', 'k', start + 200); // 79 after the wrap
    EXPECT_EXIT(RunProgram(path), testing::ExitedWithCode(0), "frames=4 time=4 elapsed=200 ");
    EXPECT_EQ(StandInReadDump(path).console, Report2000);
}

TEST_F(DemoRunTest, AnimationCounterWrapsAfterTheLargestValue) {
    AnimationTime = INT32_MAX - 1;
    StandInQueueMessageBoxAnswer(IDNO);
    QueueKey('K', 'k', 150);
    EXPECT_EXIT(RunProgram(path), testing::ExitedWithCode(0),
                "frames=3 time=-2147483647 elapsed=150 ");
    AnimationTime = 0;
}

TEST_F(DemoRunTest, AnswerChoosesTheDisplay) {
    struct Case {
        const char* label;
        int answer;
        const char* counters;
        const char* presentation;
    };
    const Case cases[] = {
        {"Yes: full screen", IDYES, "fullscreen=1", "IDirectDrawSurface4::Flip"},
        {"No: windowed", IDNO, "fullscreen=0", "IDirectDrawSurface4::Blt"},
        {"failed box: windowed", 0, "fullscreen=0", "IDirectDrawSurface4::Blt"},
        {"any other answer: windowed", IDOK, "fullscreen=0", "IDirectDrawSurface4::Blt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        StandInReset();
        path = ChildDumpPath();
        StandInQueueMessageBoxAnswer(c.answer);
        QueueKey('K', 'k', 0);
        EXPECT_EXIT(RunProgram(path), testing::ExitedWithCode(0), c.counters);
        const StandInDump record = StandInReadDump(path);
        EXPECT_EQ(CountCalls(record, "CreateWindowExA"), 1);
        EXPECT_EQ(CountCalls(record, c.presentation), 1);
        EXPECT_EQ(record.console, Report2000);
    }
}

TEST_F(DemoRunTest, CancelEndsBeforeAnyWindowWithoutOutput) {
    // Cancel, Escape and the box's close button all answer IDCANCEL.
    StandInQueueMessageBoxAnswer(IDCANCEL);
    QueueKey('K', 'k', 0);
    EXPECT_EXIT(RunProgram(path), testing::ExitedWithCode(0), "frames=0 time=0 elapsed=0 ");
    const StandInDump record = StandInReadDump(path);
    EXPECT_EQ(BoxTexts(record), std::vector<std::string>{"Fullscreen?"});
    EXPECT_EQ(CountCalls(record, "RegisterClassA"), 0);
    EXPECT_EQ(CountCalls(record, "CreateWindowExA"), 0);
    EXPECT_EQ(CountCalls(record, "GetTickCount"), 0);
    EXPECT_EQ(record.console, "");
    // The finalisers still run: the library is released.
    EXPECT_EQ(CountCalls(record, "FreeLibrary"), 1);
    EXPECT_GT(LastCall(record, "FreeLibrary"), FirstCall(record, "MessageBoxA"));
}

// A failure box, at set-up or in the frame loop, ends the run with exit code 1 (a script
// can tell it from a finished run) through the normal termination: the finalisers run.
TEST_F(DemoRunTest, FailureBoxEndsWithExitCodeOne) {
    struct Case {
        const char* label;
        int answer;
        const char* call;
        LONG_PTR result;
        const char* message;
        const char* counters;
    };
    const Case cases[] = {
        {"no window", IDNO, "CreateWindowExA", 0, "CreateWindowEx FAILED", "frames=0 "},
        {"no display mode", IDYES, "IDirectDraw4::SetDisplayMode", DDERR_UNSUPPORTED,
         "SetDisplayMode FAILED", "frames=0 "},
        {"a frame cannot be drawn", IDNO, "IDirectDrawSurface4::Lock", DDERR_SURFACELOST,
         "Lock FAILED", "frames=1 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        StandInReset();
        path = ChildDumpPath();
        StandInQueueMessageBoxAnswer(c.answer);
        StandInQueueMessageBoxAnswer(IDOK);
        StandInFailCall(c.call, c.result);
        QueueKey('K', 'k', 1000);
        EXPECT_EXIT(RunProgram(path), testing::ExitedWithCode(1), c.counters);
        const StandInDump record = StandInReadDump(path);
        EXPECT_EQ(BoxTexts(record), (std::vector<std::string>{"Fullscreen?", c.message}));
        EXPECT_EQ(record.console, "");
        EXPECT_EQ(CountCalls(record, "FreeLibrary"), 1);
        EXPECT_GT(LastCall(record, "FreeLibrary"), LastCall(record, "MessageBoxA"));
    }
}

TEST_F(DemoRunTest, OutOfMemoryEndsWithRunTimeError203) {
    for (int skip : {0, 1}) {
        SCOPED_TRACE(skip == 0 ? "first buffer" : "second buffer");
        StandInReset();
        path = ChildDumpPath();
        StandInFailCall("HeapAlloc", 0, skip);
        EXPECT_EXIT(RunProgram(path), testing::ExitedWithCode(203),
                    "^Runtime error 203: out of memory\nframes=0 ");
        const StandInDump record = StandInReadDump(path);
        EXPECT_EQ(CountCalls(record, "HeapAlloc"), skip + 1);
        EXPECT_TRUE(record.boxes.empty());
        EXPECT_EQ(record.console, "");
        EXPECT_EQ(CountCalls(record, "FreeLibrary"), 1);
    }
}

} // namespace
