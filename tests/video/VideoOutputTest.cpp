// The video output operations around the display: buffers, the question, the update and
// the message pump, on the stand-in.
#include "ChildDump.h"
#include "Demo.h"
#include "Heap.h"
#include "VideoOutput.h"

#include <StandIn.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <unistd.h>
#include <string>
#include <vector>

namespace {

class VideoOutputTest : public testing::Test {
  protected:
    void SetUp() override { StandInReset(); }
};

TEST_F(VideoOutputTest, AllocateBuffersAllocatesOnlyWhatIsMissing) {
    ASSERT_EQ(FrameBuffer, nullptr);
    ASSERT_EQ(SpareBuffer, nullptr);
    EXPECT_TRUE(AllocateBuffers());
    uint32_t* const frame = FrameBuffer;
    uint32_t* const spare = SpareBuffer;
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(spare, nullptr);
    EXPECT_NE(frame, spare);
    // Both are whole frames (the sanitizer build checks the bounds).
    frame[FramePixels - 1] = 1;
    spare[FramePixels - 1] = 2;
    EXPECT_EQ(StandInCallLog(),
              (std::vector<std::string>{"HeapAlloc(ptr, 0, 256000)", "HeapAlloc(ptr, 0, 256000)"}));

    StandInClearCallLog();
    EXPECT_TRUE(AllocateBuffers());
    EXPECT_EQ(FrameBuffer, frame);
    EXPECT_EQ(SpareBuffer, spare);
    EXPECT_TRUE(StandInCallLog().empty());

    // Only the missing one is made.
    FreeMemory(SpareBuffer);
    SpareBuffer = nullptr;
    StandInClearCallLog();
    EXPECT_TRUE(AllocateBuffers());
    EXPECT_EQ(FrameBuffer, frame);
    EXPECT_NE(SpareBuffer, nullptr);
    EXPECT_EQ(StandInCallNames(), std::vector<std::string>{"HeapAlloc"});

    FreeMemory(FrameBuffer);
    FreeMemory(SpareBuffer);
    FrameBuffer = nullptr;
    SpareBuffer = nullptr;
}

TEST_F(VideoOutputTest, CancelAtTheQuestionEndsTheProgram) {
    const std::string path = ChildDumpPath();
    StandInQueueMessageBoxAnswer(IDCANCEL);
    EXPECT_EXIT(
        {
            StandInDumpAtExit(path);
            OpenDisplay();
            std::fprintf(stderr, "OpenDisplay returned\n");
            std::exit(1);
        },
        testing::ExitedWithCode(0), "");
    // Cancel ends the program at once: the box is the only call.
    const StandInDump record = StandInReadDump(path);
    EXPECT_EQ(record.calls, std::vector<std::string>{
                                "MessageBoxA(NULL, \"Fullscreen?\", \"Do you want...\", 3)"});
    EXPECT_EQ(BoxTexts(record), std::vector<std::string>{"Fullscreen?"});
}

// In the child: a display opened with the answer, then UpdateScreen.
void OpenAndUpdate(const std::string& path, int answer) {
    StandInDumpAtExit(path);
    InitialiseModules();
    AllocateBuffers();
    StandInQueueMessageBoxAnswer(answer);
    OpenDisplay();
}

// In the child: fills both buffers, then shows each with SwapBuffers and UpdateScreen and
// prints the top-left screen pixel after each.
[[noreturn]] void PresentBothBuffers() {
    OpenAndUpdate(ChildDumpPath(), IDYES);
    for (int i = 0; i < FramePixels; ++i) {
        FrameBuffer[i] = 0xFF102030;
        SpareBuffer[i] = 0xFF405060;
    }
    const RECT corner = {0, 0, 1, 1};
    SwapBuffers();
    UpdateScreen();
    const std::vector<uint8_t> first = StandInReadScreen(corner);
    SwapBuffers();
    UpdateScreen();
    const std::vector<uint8_t> second = StandInReadScreen(corner);
    std::fprintf(stderr, "bpp=%d first=%02x%02x%02x second=%02x%02x%02x\n",
                 StandInScreenBitsPerPixel(), first.at(2), first.at(1), first.at(0), second.at(2),
                 second.at(1), second.at(0));
    std::exit(0);
}

TEST_F(VideoOutputTest, UpdateScreenPresentsTheCurrentFrameBuffer) {
    // Full screen on a 32-bit mode: the screen's pixels are the frame's bytes.
    EXPECT_EXIT(PresentBothBuffers(), testing::ExitedWithCode(0),
                "bpp=32 first=405060 second=102030");
}

TEST_F(VideoOutputTest, EscapeInTheWindowEndsWithinOneUpdate) {
    const std::string path = ChildDumpPath();
    EXPECT_EXIT(
        {
            OpenAndUpdate(path, IDNO);
            StandInPressKey(VK_ESCAPE);
            StandInClearCallLog();
            UpdateScreen();
            std::fprintf(stderr, "UpdateScreen returned\n");
            std::exit(1);
        },
        testing::ExitedWithCode(0), "");
    const StandInDump record = StandInReadDump(path);
    // The frame is shown first, then the pump closes the window and takes the quit message.
    EXPECT_LT(FirstCall(record, "IDirectDrawSurface4::Blt"), FirstCall(record, "PeekMessageA"));
    EXPECT_LT(FirstCall(record, "PeekMessageA"), LastCall(record, "GetMessageA"));
    EXPECT_EQ(CountCalls(record, "FreeLibrary"), 1);
    EXPECT_EQ(record.console, "");
}

// A window of the test's own that records what reaches its procedure.
std::vector<UINT> Received;

// Set false by a test that makes GetMessageA fail: the first message dispatched then lets
// the following reads succeed.
bool FailedReadHealed = true;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER)
        Received.push_back(message);
    if (!FailedReadHealed) {
        FailedReadHealed = true;
        StandInFailCall("GetMessageA", -1, INT_MAX);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateRecordingWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "recording";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "recording", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                           nullptr, windowClass.hInstance, nullptr);
}

// The pump's own calls, without those of the window procedure it dispatches to.
std::vector<std::string> PumpCalls() {
    std::vector<std::string> calls;
    for (const std::string& name : StandInCallNames())
        if (name != "DefWindowProcA")
            calls.push_back(name);
    return calls;
}

TEST_F(VideoOutputTest, PumpDispatchesEveryQueuedMessageAndReturnsOnAnEmptyQueue) {
    Received.clear();
    const HWND window = CreateRecordingWindow();
    ASSERT_NE(window, nullptr);
    PumpMessages(); // whatever window creation left behind
    Received.clear();

    for (UINT message : {WM_USER + 1, WM_USER + 2, WM_USER + 3})
        PostMessageA(window, message, 0, 0);
    StandInClearCallLog();
    PumpMessages();
    EXPECT_EQ(Received, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3}));
    const std::vector<std::string> pass = {"PeekMessageA", "GetMessageA", "TranslateMessage",
                                           "DispatchMessageA"};
    std::vector<std::string> expected;
    for (int i = 0; i < 3; ++i)
        expected.insert(expected.end(), pass.begin(), pass.end());
    expected.push_back("PeekMessageA");
    EXPECT_EQ(PumpCalls(), expected);
    EXPECT_EQ(StandInCallLog().front(), "PeekMessageA(ptr, NULL, 0, 0, 0)");

    // Nothing queued: one look and back.
    StandInClearCallLog();
    PumpMessages();
    EXPECT_EQ(PumpCalls(), std::vector<std::string>{"PeekMessageA"});
}

// GetMessageA's error result (-1) is not an end: the record, still holding the message
// the peek saw, is translated and dispatched, and the pump goes on.
TEST_F(VideoOutputTest, FailedMessageReadIsDispatchedAndThePumpGoesOn) {
    EXPECT_EXIT(
        {
            alarm(60); // a pump that never takes the message again would spin for ever
            const HWND window = CreateRecordingWindow();
            PumpMessages(); // whatever window creation left behind
            Received.clear();
            PostMessageA(window, WM_USER + 1, 0, 0);
            PostMessageA(window, WM_USER + 2, 0, 0);
            StandInFailCall("GetMessageA", -1);
            FailedReadHealed = false;
            PumpMessages();
            std::fprintf(stderr, "received:");
            for (UINT message : Received)
                std::fprintf(stderr, " %u", message - WM_USER);
            std::fprintf(stderr, "\n");
            std::exit(3);
        },
        testing::ExitedWithCode(3), "received: 1 1 2\n");
}

TEST_F(VideoOutputTest, QuitMessageEndsTheProgramWithExitCodeZero) {
    EXPECT_EXIT(
        {
            Received.clear();
            const HWND window = CreateRecordingWindow();
            PostMessageA(window, WM_USER + 1, 0, 0);
            PostQuitMessage(7);
            std::atexit([] { std::fprintf(stderr, "received=%zu\n", Received.size()); });
            PumpMessages();
            std::fprintf(stderr, "PumpMessages returned\n");
            std::exit(1);
        },
        testing::ExitedWithCode(0), "received=1");
}

} // namespace
