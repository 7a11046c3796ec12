// Windows on the stand-in: the non-client area from the display description, the
// screen, keys pressed in a window and a window dragged by the person.
#include "StandInPrivate.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Messages;
int FixedWidth = 320;
int FixedHeight = 200;

// Pins the tracking sizes the way the output window does: frames and a menu bar.
LRESULT CALLBACK PinningProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = FixedWidth + 2 * GetSystemMetrics(SM_CXFRAME);
        info->ptMinTrackSize.y =
            FixedHeight + 2 * GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYMENU);
        info->ptMaxTrackSize = info->ptMinTrackSize;
    }
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreatePinnedWindow(int x, int y) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PinningProcedure;
    windowClass.lpszClassName = "wndclass";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "wndclass", "Pinned", WS_CAPTION | WS_THICKFRAME, x, y,
                                  FixedWidth, FixedHeight, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return window;
}

RECT ClientOnScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT topLeft{client.left, client.top};
    POINT bottomRight{client.right, client.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void ExpectRect(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom) {
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right, right);
    EXPECT_EQ(rect.bottom, bottom);
}

TEST(StandInWindows, TheWorkedExample) {
    StandInReset();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    HWND window = CreatePinnedWindow((1024 - 320) / 2, (768 - 200) / 2);
    ASSERT_NE(window, nullptr);
    RECT outer;
    ASSERT_TRUE(GetWindowRect(window, &outer));
    ExpectRect(outer, 352, 284, 352 + 328, 284 + 227);
    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    ExpectRect(client, 0, 0, 320, 200);
    ExpectRect(ClientOnScreen(window), 356, 307, 676, 507);
    RECT known;
    ASSERT_TRUE(WindowClientOnScreen(window, &known));
    ExpectRect(known, 356, 307, 676, 507);
}

TEST(StandInWindows, CaptionsOtherThanTheMenuBar) {
    struct Case {
        int caption;
        LONG clientHeight;
    };
    for (const Case& test : {Case{25, 194}, Case{15, 204}}) {
        SCOPED_TRACE(test.caption);
        StandInReset();
        StandInDisplay display;
        display.captionHeight = test.caption;
        StandInSetDisplay(display);
        HWND window = CreatePinnedWindow(352, 284);
        RECT client;
        ASSERT_TRUE(GetClientRect(window, &client));
        EXPECT_EQ(client.right, 320);
        EXPECT_EQ(client.bottom, test.clientHeight);
        ExpectRect(ClientOnScreen(window), 356, 288 + test.caption, 676,
                   288 + test.caption + test.clientHeight);
    }
}

TEST(StandInWindows, TheScreen) {
    StandInReset();
    StandInDisplay display;
    display.desktopWidth = 800;
    display.desktopHeight = 600;
    display.desktopBitsPerPixel = 8;
    StandInSetDisplay(display);
    HDC screen = GetDC(nullptr);
    {
        SCOPED_TRACE("the desktop");
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
        EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 8);
    }
    {
        SCOPED_TRACE("a display mode set by DirectDraw");
        SetScreenMode(ScreenMode{320, 200, 16, 0xF800});
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 320);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 200);
        EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 16);
    }
    {
        SCOPED_TRACE("restored");
        RestoreScreenMode();
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
        EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 8);
    }
}

TEST(StandInWindows, KeysReachTheFocusedWindow) {
    StandInReset();
    HWND window = CreatePinnedWindow(0, 0);
    ASSERT_EQ(GetFocus(), window);
    StandInPressKey(VK_SPACE);
    MSG msg;
    std::vector<UINT> order;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        order.push_back(msg.message);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // The character, being posted, comes before the key's release.
    EXPECT_EQ(order, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    {
        SCOPED_TRACE("Escape closes this window before its release arrives");
        StandInPressKey(VK_ESCAPE);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        EXPECT_FALSE(IsWindow(window));
        const std::vector<std::string> received = StandInWindowMessages(window);
        const std::vector<std::string> tail(received.end() - 5, received.end());
        EXPECT_EQ(tail, (std::vector<std::string>{"WM_ACTIVATE", "WM_ACTIVATEAPP", "WM_KILLFOCUS",
                                                  "WM_DESTROY", "WM_NCDESTROY"}));
    }
}

TEST(StandInWindows, WithoutFocusAKeyGoesNowhere) {
    StandInReset();
    StandInPressKey(VK_ESCAPE);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST(StandInWindows, DraggingMovesTheWindowAndItsClientArea) {
    StandInReset();
    HWND window = CreatePinnedWindow(352, 284);
    StandInDragWindow(window, -52, 16);
    ExpectRect(ClientOnScreen(window), 304, 323, 624, 523);
    const std::vector<std::string> received = StandInWindowMessages(window);
    EXPECT_EQ(received.back(), "WM_MOVE") << "a move without a new size";
    EXPECT_EQ(StandInWindows(), std::vector<HWND>{window});
}

TEST(StandInWindows, MessageNames) {
    StandInReset();
    HWND window = CreatePinnedWindow(0, 0);
    SendMessageA(window, WM_USER + 1, 0, 0);
    const std::vector<std::string> received = StandInWindowMessages(window);
    EXPECT_EQ(received.front(), "WM_GETMINMAXINFO");
    EXPECT_EQ(received.back(), "0x0401");
}

TEST(StandInWindowsDeathTest, WaitingOnAnEmptyQueueStops) {
    EXPECT_DEATH(
        {
            StandInReset();
            MSG msg;
            GetMessageA(&msg, nullptr, 0, 0);
        },
        "GetMessageA: the message queue is empty");
}

} // namespace
