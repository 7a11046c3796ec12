// Window sizes and rectangles: tracking sizes, the non-client area from the system's
// metrics, and client coordinates on the screen.
#include "MessageRecorder.h"

#include <gtest/gtest.h>

namespace {

LONG Width(const RECT& rect) {
    return rect.right - rect.left;
}
LONG Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

TEST(WindowGeometry, TrackingSizesFixTheFramedWindowsSize) {
    RecordingClass windowClass("ConformanceTracking");
    SetTrackingSize(328, 227);
    HWND window = windowClass.Create(WS_CAPTION | WS_THICKFRAME, 352, 284, 320, 200);
    ASSERT_NE(window, nullptr);
    RECT outer;
    ASSERT_TRUE(GetWindowRect(window, &outer));
    {
        SCOPED_TRACE("at creation the size obeys the tracking sizes");
        EXPECT_EQ(outer.left, 352);
        EXPECT_EQ(outer.top, 284);
        EXPECT_EQ(Width(outer), 328);
        EXPECT_EQ(Height(outer), 227);
    }
    {
        SCOPED_TRACE("the client area is the window less frame and caption");
        RECT client;
        ASSERT_TRUE(GetClientRect(window, &client));
        EXPECT_EQ(client.left, 0);
        EXPECT_EQ(client.top, 0);
        EXPECT_EQ(client.right, 328 - 2 * GetSystemMetrics(SM_CXFRAME));
        EXPECT_EQ(client.bottom,
                  227 - 2 * GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYCAPTION));
        POINT origin{0, 0};
        ASSERT_TRUE(ClientToScreen(window, &origin));
        EXPECT_EQ(origin.x, 352 + GetSystemMetrics(SM_CXFRAME));
        EXPECT_EQ(origin.y, 284 + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION));
        POINT corner{client.right, client.bottom};
        ASSERT_TRUE(ClientToScreen(window, &corner));
        EXPECT_EQ(corner.x - origin.x, client.right);
        EXPECT_EQ(corner.y - origin.y, client.bottom);
    }
    {
        SCOPED_TRACE("MoveWindow cannot change the size");
        ASSERT_TRUE(MoveWindow(window, 300, 200, 500, 400, TRUE));
        ASSERT_TRUE(GetWindowRect(window, &outer));
        EXPECT_EQ(outer.left, 300);
        EXPECT_EQ(outer.top, 200);
        EXPECT_EQ(Width(outer), 328);
        EXPECT_EQ(Height(outer), 227);
    }
    {
        SCOPED_TRACE("neither can SetWindowPos");
        ASSERT_TRUE(SetWindowPos(window, nullptr, 0, 0, 100, 50, SWP_NOMOVE | SWP_NOZORDER));
        ASSERT_TRUE(GetWindowRect(window, &outer));
        EXPECT_EQ(outer.left, 300);
        EXPECT_EQ(Width(outer), 328);
        EXPECT_EQ(Height(outer), 227);
    }
}

TEST(WindowGeometry, DefaultTrackingSizesBoundASmallWindow) {
    RecordingClass windowClass("ConformanceSmall");
    HWND window = windowClass.Create(WS_CAPTION | WS_THICKFRAME, 10, 10, 1, 1);
    ASSERT_NE(window, nullptr);
    RECT outer;
    ASSERT_TRUE(GetWindowRect(window, &outer));
    EXPECT_EQ(Width(outer), GetSystemMetrics(SM_CXMINTRACK));
    EXPECT_EQ(Height(outer), GetSystemMetrics(SM_CYMINTRACK));
}

TEST(WindowGeometry, APopupHasNoNonClientAreaAndNoTrackingSize) {
    RecordingClass windowClass("ConformanceBarePopup");
    SetTrackingSize(328, 227); // not asked for
    HWND window = windowClass.Create(WS_POPUP, 5, 6, 20, 10);
    ASSERT_NE(window, nullptr);
    RECT outer;
    RECT client;
    ASSERT_TRUE(GetWindowRect(window, &outer));
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(outer.left, 5);
    EXPECT_EQ(outer.top, 6);
    EXPECT_EQ(Width(outer), 20);
    EXPECT_EQ(Height(outer), 10);
    EXPECT_EQ(client.right, 20);
    EXPECT_EQ(client.bottom, 10);
    POINT origin{0, 0};
    ASSERT_TRUE(ClientToScreen(window, &origin));
    EXPECT_EQ(origin.x, 5);
    EXPECT_EQ(origin.y, 6);
    EXPECT_TRUE(RecordedAmong({WM_GETMINMAXINFO}).empty());
}

TEST(WindowGeometry, WindowsOnTheScreenMetrics) {
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYCAPTION), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYMENU), 0);
    EXPECT_GT(GetSystemMetrics(SM_CXFRAME), 0);
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(GetDeviceCaps(screen, VERTRES), GetSystemMetrics(SM_CYSCREEN));
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    EXPECT_TRUE(bits == 8 || bits == 16 || bits == 24 || bits == 32) << bits;
    ReleaseDC(nullptr, screen);
}

TEST(WindowGeometry, InvalidHandles) {
    RecordingClass windowClass("ConformanceInvalid");
    HWND window = windowClass.Create(WS_POPUP, 0, 0, 10, 10);
    ASSERT_NE(window, nullptr);
    DestroyWindow(window);
    RECT rect{1, 2, 3, 4};
    POINT point{7, 8};
    SetLastError(0);
    EXPECT_FALSE(GetWindowRect(window, &rect));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(0);
    EXPECT_FALSE(GetClientRect(window, &rect));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(0);
    EXPECT_FALSE(ClientToScreen(window, &point));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(point.x, 7);
    SetLastError(0);
    EXPECT_FALSE(MoveWindow(window, 0, 0, 10, 10, TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

} // namespace
