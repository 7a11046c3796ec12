// The output window on the stand-in: creation in both modes, placement and the blit
// rectangles, the pinned size, moving, and the keys.
#include "StandInVideo.h"

#include "VideoOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

RECT OuterRect() {
    RECT rect = {};
    GetWindowRect(OutputWindow, &rect);
    return rect;
}

std::string Text(const RECT& r) {
    char text[64];
    std::snprintf(text, sizeof text, "{%d, %d, %d, %d}", int(r.left), int(r.top), int(r.right),
                  int(r.bottom));
    return text;
}

bool LoggedWithPrefix(const std::string& prefix) {
    const std::vector<std::string> log = StandInCallLog();
    return std::any_of(log.begin(), log.end(), [&](const std::string& call) {
        return call.compare(0, prefix.size(), prefix) == 0;
    });
}

TEST(OutputWindow, CreatedByModeWithItsCallsInOrder) {
    struct Case {
        const char* label;
        bool fullScreen;
        std::string creation;
        std::vector<std::string> after; // the calls after creation, up to DirectDraw
    };
    const Case cases[] = {
        {"full screen",
         true,
         "CreateWindowExA(0, \"wndclass\", \"Vortane DirectDraw Handler\", 2415919104, 0, 0, "
         "320, 200, NULL, NULL, ptr, NULL)",
         {"ShowWindow(ptr, 5)", "UpdateWindow(ptr)", "SetFocus(ptr)", "ShowCursor(0)"}},
        {"windowed",
         false,
         "CreateWindowExA(0, \"wndclass\", \"Vortane DirectDraw Handler\", 12845056, 352, 284, "
         "320, 200, NULL, NULL, ptr, NULL)",
         {"ShowWindow(ptr, 5)", "UpdateWindow(ptr)", "SetFocus(ptr)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        StartStandIn();
        InitDisplay(FrameWidth, FrameHeight, c.fullScreen);
        const std::vector<std::string> log = StandInCallLog();
        const auto creation = std::find(log.begin(), log.end(), c.creation);
        ASSERT_NE(creation, log.end());
        EXPECT_EQ(CallsNamed(log, "RegisterClassA").size(), 1u);
        EXPECT_LT(FirstCall(StandInCallNames(), "RegisterClassA"),
                  FirstCall(StandInCallNames(), "CreateWindowExA"));

        // The window's own calls after creation; messages sent meanwhile are skipped.
        std::vector<std::string> after;
        for (auto call = creation + 1; call != log.end(); ++call) {
            if (call->compare(0, 16, "DirectDrawCreate") == 0)
                break;
            for (const char* name : {"ShowWindow(", "UpdateWindow(", "SetFocus(", "ShowCursor("})
                if (call->compare(0, std::string(name).size(), name) == 0)
                    after.push_back(*call);
        }
        EXPECT_EQ(after, c.after);
        EXPECT_EQ(GetFocus(), OutputWindow);
        EXPECT_TRUE(IsWindowVisible(OutputWindow));
        // During creation there is no stored window to measure yet.
        EXPECT_FALSE(LoggedWithPrefix("GetWindowRect(NULL") ||
                     LoggedWithPrefix("GetClientRect(NULL"));
    }
}

TEST(OutputWindow, ClassRegisteredWithEveryField) {
    StartStandIn();
    InitDisplay(FrameWidth, FrameHeight, false);
    WNDCLASSA windowClass = {};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "wndclass", &windowClass));
    EXPECT_EQ(windowClass.style, UINT(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(windowClass.lpfnWndProc, OutputWindowProc);
    EXPECT_EQ(windowClass.cbClsExtra, 0);
    EXPECT_EQ(windowClass.cbWndExtra, 0);
    EXPECT_EQ(windowClass.hInstance, GetModuleHandleA(nullptr));
    EXPECT_EQ(windowClass.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(windowClass.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(windowClass.hbrBackground, GetStockObject(BLACK_BRUSH));
    ASSERT_NE(windowClass.lpszMenuName, nullptr);
    EXPECT_STREQ(windowClass.lpszMenuName, "Window name");
    EXPECT_STREQ(windowClass.lpszClassName, "wndclass");
}

// The worked example and its variations: the outer size is pinned by the frame and menu
// metrics, whatever the caption really takes.
TEST(OutputWindow, WindowedPlacementAndBlitRectangles) {
    struct Case {
        const char* label;
        StandInDisplay display;
        RECT outer;
        RECT source;
        RECT dest;
    };
    StandInDisplay thinFrames;
    thinFrames.frameWidth = thinFrames.frameHeight = 3;
    thinFrames.captionHeight = thinFrames.menuHeight = 20;
    StandInDisplay tallCaption;
    tallCaption.captionHeight = 25;
    StandInDisplay lowCaption;
    lowCaption.captionHeight = 15;
    StandInDisplay smallDesktop;
    smallDesktop.desktopWidth = 301;
    smallDesktop.desktopHeight = 181;
    const Case cases[] = {
        {"1024 x 768, frames 4, caption and menu 19",
         StandInDisplay{},
         {352, 284, 680, 511},
         {0, 0, 320, 200},
         {356, 307, 676, 507}},
        {"frames 3, caption and menu 20",
         thinFrames,
         {352, 284, 678, 510},
         {0, 0, 320, 200},
         {355, 307, 675, 507}},
        {"caption taller than the menu bar",
         tallCaption,
         {352, 284, 680, 511},
         {0, 0, 320, 194},
         {356, 313, 676, 507}},
        {"caption lower than the menu bar",
         lowCaption,
         {352, 284, 680, 511},
         {0, 0, 320, 204},
         {356, 303, 676, 507}},
        {"desktop smaller than the window: halving truncates toward zero",
         smallDesktop,
         {-9, -9, 319, 218},
         {0, 0, 320, 200},
         {-5, 14, 315, 214}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        StartStandIn(c.display);
        InitDisplay(FrameWidth, FrameHeight, false);
        EXPECT_EQ(Text(OuterRect()), Text(c.outer));
        EXPECT_EQ(Text(SourceRect), Text(c.source));
        EXPECT_EQ(Text(DestRect), Text(c.dest));

        MINMAXINFO limits = {};
        EXPECT_EQ(
            OutputWindowProc(OutputWindow, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits)),
            DefWindowProcA(OutputWindow, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits)));
        const LONG width = c.outer.right - c.outer.left;
        const LONG height = c.outer.bottom - c.outer.top;
        EXPECT_EQ(limits.ptMinTrackSize.x, width);
        EXPECT_EQ(limits.ptMinTrackSize.y, height);
        EXPECT_EQ(limits.ptMaxTrackSize.x, width);
        EXPECT_EQ(limits.ptMaxTrackSize.y, height);
    }
}

TEST(OutputWindow, DraggingMovesTheBlitDestination) {
    StartStandIn();
    InitDisplay(FrameWidth, FrameHeight, false);
    StandInDragWindow(OutputWindow, 40, -30);
    PumpMessages();
    EXPECT_EQ(Text(WindowRect), Text({392, 254, 720, 481}));
    EXPECT_EQ(Text(SourceRect), Text({0, 0, 320, 200}));
    EXPECT_EQ(Text(DestRect), Text({396, 277, 716, 477}));

    const std::vector<uint32_t> frame = TestFrame();
    PresentFrame(frame.data());
    EXPECT_EQ(ScreenAt(396, 277, 716, 477), ShownFrame(frame, 32, FrameWidth, FrameHeight));
}

TEST(OutputWindow, ResizingLeavesTheSize) {
    StartStandIn();
    InitDisplay(FrameWidth, FrameHeight, false);
    {
        SCOPED_TRACE("moved and resized");
        MoveWindow(OutputWindow, 100, 120, 500, 400, TRUE);
        PumpMessages();
        EXPECT_EQ(Text(OuterRect()), Text({100, 120, 428, 347}));
        EXPECT_EQ(Text(SourceRect), Text({0, 0, 320, 200}));
        EXPECT_EQ(Text(DestRect), Text({104, 143, 424, 343}));
    }
    {
        SCOPED_TRACE("made smaller in place");
        SetWindowPos(OutputWindow, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
        PumpMessages();
        EXPECT_EQ(Text(OuterRect()), Text({100, 120, 428, 347}));
    }
}

// Escape closes the window: the frame is still presented, then the same update's
// message pump takes the quit message and the program ends with exit code 0.
TEST(OutputWindow, EscapeEndsTheProgramWithinOneUpdate) {
    std::vector<uint32_t> frame = TestFrame();
    StartStandIn();
    InitVideoOutput();
    FrameBuffer = frame.data();
    InitDisplay(FrameWidth, FrameHeight, false);
    StandInPressKey(VK_ESCAPE);
    StandInClearCallLog();

    const StandInDump dump = RunToEnd([] { UpdateScreen(); }, 0);
    EXPECT_EQ(dump.boxes.size(), 0u);
    EXPECT_EQ(dump.console, "");
    const int blit = FirstCall(dump.callNames, "IDirectDrawSurface4::Blt");
    const int close = FirstCall(dump.calls, "PostMessageA(ptr, 16, 0, 0)");
    const int quit = FirstCall(dump.calls, "PostQuitMessage(0)");
    EXPECT_GE(blit, 0);
    EXPECT_GT(close, blit);
    EXPECT_GT(quit, close);
    ASSERT_FALSE(dump.callNames.empty());
    EXPECT_EQ(dump.callNames.back(), "GetMessageA");
    FrameBuffer = nullptr;
}

TEST(OutputWindow, EscapeSetsItsFlagAndAsksToClose) {
    StartStandIn();
    InitDisplay(FrameWidth, FrameHeight, false);
    StandInClearCallLog();
    EXPECT_EQ(OutputWindowProc(OutputWindow, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    EXPECT_TRUE(EscapePressed);
    EXPECT_FALSE(SpacePressed);
    EXPECT_FALSE(LoggedWithPrefix("DefWindowProcA"));
    MSG message = {};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.hwnd, OutputWindow);
    EXPECT_EQ(message.message, UINT(WM_CLOSE));
    EXPECT_TRUE(IsWindow(OutputWindow)); // closed only when the pump dispatches WM_CLOSE
}

TEST(OutputWindow, SpaceSetsItsFlagAndOtherKeysDoNothing) {
    struct Case {
        const char* label;
        WORD key;
    };
    const Case cases[] = {
        {"Space", VK_SPACE}, {"A", 'A'}, {"Return", VK_RETURN}, {"F1", VK_F1}, {"Left", VK_LEFT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        StartStandIn();
        InitDisplay(FrameWidth, FrameHeight, false);
        const RECT dest = DestRect;
        StandInClearCallLog();
        StandInPressKey(c.key);
        PumpMessages();
        EXPECT_EQ(SpacePressed, c.key == VK_SPACE);
        EXPECT_FALSE(EscapePressed);
        EXPECT_TRUE(IsWindow(OutputWindow));
        EXPECT_FALSE(LoggedWithPrefix("PostMessageA") || LoggedWithPrefix("PostQuitMessage"));
        EXPECT_TRUE(LoggedWithPrefix("DefWindowProcA(ptr, 256, " + std::to_string(c.key) + ","));
        EXPECT_EQ(Text(DestRect), Text(dest));
    }
}

} // namespace
