// The messages a window receives from creation to destruction, and in what order.
#include "MessageRecorder.h"

#include <gtest/gtest.h>

namespace {

const std::vector<UINT> Lifecycle = {
    WM_GETMINMAXINFO, WM_NCCREATE,   WM_NCCALCSIZE,        WM_CREATE,           WM_SIZE,
    WM_MOVE,          WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_ACTIVATEAPP,
    WM_NCACTIVATE,    WM_ACTIVATE,   WM_SETFOCUS,          WM_KILLFOCUS,        WM_CLOSE,
    WM_DESTROY,       WM_NCDESTROY};

const RecordedMessage* Find(UINT message) {
    for (const RecordedMessage& recorded : Recording())
        if (recorded.message == message)
            return &recorded;
    return nullptr;
}

// WM_SIZE and WM_MOVE tell the client area's size and its origin on the screen.
void ExpectSizeAndMoveMatch(HWND window) {
    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    POINT origin{0, 0};
    ASSERT_TRUE(ClientToScreen(window, &origin));
    const RecordedMessage* size = Find(WM_SIZE);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->wParam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(LOWORD(size->lParam), client.right);
    EXPECT_EQ(HIWORD(size->lParam), client.bottom);
    const RecordedMessage* move = Find(WM_MOVE);
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(MovePoint(move->lParam).x, origin.x);
    EXPECT_EQ(MovePoint(move->lParam).y, origin.y);
}

TEST(WindowMessages, AFramedWindowFromCreationToFirstShowing) {
    RecordingClass windowClass("ConformanceFramed");
    HWND window = windowClass.Create(WS_CAPTION | WS_THICKFRAME, 100, 120, 300, 200);
    ASSERT_NE(window, nullptr);
    {
        SCOPED_TRACE("creation: no size or place is reported yet");
        EXPECT_EQ(RecordedAmong(Lifecycle),
                  (std::vector<UINT>{WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE}));
        // The procedure learns its handle from the first message on.
        for (const RecordedMessage& recorded : Recording())
            EXPECT_EQ(recorded.window, window);
        EXPECT_FALSE(IsWindowVisible(window));
    }
    {
        SCOPED_TRACE("the first showing activates and focuses, then tells size and place");
        ClearRecording();
        EXPECT_FALSE(ShowWindow(window, SW_SHOW)); // it was hidden
        EXPECT_EQ(
            RecordedAmong(Lifecycle),
            (std::vector<UINT>{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_ACTIVATEAPP, WM_NCACTIVATE,
                               WM_ACTIVATE, WM_SETFOCUS, WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE}));
        ExpectSizeAndMoveMatch(window);
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(GetFocus(), window);
    }
    {
        SCOPED_TRACE("showing a visible window and focusing the focus do nothing");
        ClearRecording();
        EXPECT_TRUE(ShowWindow(window, SW_SHOW));
        EXPECT_EQ(SetFocus(window), window);
        EXPECT_TRUE(RecordedAmong(Lifecycle).empty());
    }
    {
        SCOPED_TRACE("destruction hides, deactivates, then destroys");
        ClearRecording();
        EXPECT_TRUE(DestroyWindow(window));
        EXPECT_EQ(RecordedAmong(Lifecycle),
                  (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_NCACTIVATE,
                                     WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS, WM_DESTROY,
                                     WM_NCDESTROY}));
        EXPECT_EQ(GetFocus(), nullptr);
    }
}

TEST(WindowMessages, AVisibleFramedWindowIsShownAtCreation) {
    RecordingClass windowClass("ConformanceFramedVisible");
    HWND window = windowClass.Create(WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, 10, 10, 300, 200);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(RecordedAmong(Lifecycle),
              (std::vector<UINT>{WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE,
                                 WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_ACTIVATEAPP, WM_NCACTIVATE,
                                 WM_ACTIVATE, WM_SETFOCUS, WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE}));
    ExpectSizeAndMoveMatch(window);
}

TEST(WindowMessages, AVisiblePopupIsSizedBeforeItIsShown) {
    RecordingClass windowClass("ConformancePopup");
    HWND window = windowClass.Create(WS_POPUP | WS_VISIBLE, 0, 0, 320, 200);
    ASSERT_NE(window, nullptr);
    // A popup without a sizing frame is not asked for tracking sizes.
    EXPECT_EQ(RecordedAmong(Lifecycle),
              (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
                                 WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_ACTIVATEAPP, WM_NCACTIVATE,
                                 WM_ACTIVATE, WM_SETFOCUS, WM_WINDOWPOSCHANGED}));
    ExpectSizeAndMoveMatch(window);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetFocus(), window);
    const RecordedMessage* show = Find(WM_SHOWWINDOW);
    ASSERT_NE(show, nullptr);
    EXPECT_EQ(show->wParam, static_cast<WPARAM>(TRUE));
}

TEST(WindowMessages, DestroyingTheActiveWindowActivatesAnother) {
    RecordingClass windowClass("ConformanceTwoWindows");
    HWND first = windowClass.Create(WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, 10, 10, 300, 200);
    HWND second = windowClass.Create(WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, 20, 20, 300, 200);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetFocus(), second);
    ClearRecording();
    EXPECT_TRUE(DestroyWindow(second));
    EXPECT_EQ(GetFocus(), first);
    std::vector<UINT> toFirst;
    for (const RecordedMessage& recorded : Recording())
        if (recorded.window == first)
            toFirst.push_back(recorded.message);
    std::vector<UINT> activation;
    for (UINT message : toFirst)
        if (message == WM_NCACTIVATE || message == WM_ACTIVATE || message == WM_SETFOCUS)
            activation.push_back(message);
    EXPECT_EQ(activation, (std::vector<UINT>{WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS}));
}

TEST(WindowMessages, CloseDestroysThroughTheDefaultProcedure) {
    RecordingClass windowClass("ConformanceClose");
    HWND window = windowClass.Create(WS_CAPTION | WS_THICKFRAME, 10, 10, 300, 200);
    ASSERT_NE(window, nullptr);
    ClearRecording();
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(RecordedAmong(Lifecycle), (std::vector<UINT>{WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(window));
    SetLastError(0);
    EXPECT_FALSE(DestroyWindow(window));
    const DWORD error = GetLastError();
    // Wine answers ERROR_ACCESS_DENIED for a handle that no longer exists.
    if (!RunningOnWine()) {
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    }
}

TEST(WindowMessages, CreationRefusedByTheProcedure) {
    for (UINT refusal : {static_cast<UINT>(WM_NCCREATE), static_cast<UINT>(WM_CREATE)}) {
        SCOPED_TRACE(refusal);
        RecordingClass windowClass("ConformanceRefused");
        SetRefusal(refusal);
        EXPECT_EQ(windowClass.Create(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10), nullptr);
        // The window ends without WM_DESTROY.
        const std::vector<UINT> expected =
            refusal == WM_NCCREATE
                ? std::vector<UINT>{WM_NCCREATE, WM_NCDESTROY}
                : std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_NCDESTROY};
        EXPECT_EQ(RecordedAmong(Lifecycle), expected);
        ASSERT_FALSE(Recording().empty());
        EXPECT_FALSE(IsWindow(Recording().front().window));
    }
}

TEST(WindowMessages, MovingSendsWmMoveWithTheClientOrigin) {
    RecordingClass windowClass("ConformanceMove");
    SetTrackingSize(328, 227);
    HWND window = windowClass.Create(WS_CAPTION | WS_THICKFRAME, 10, 20, 320, 200);
    ASSERT_NE(window, nullptr);
    ClearRecording();
    ASSERT_TRUE(MoveWindow(window, 50, 60, 328, 227, TRUE));
    // Same size: WM_MOVE only, no WM_SIZE.
    EXPECT_EQ(RecordedAmong({WM_MOVE, WM_SIZE}), (std::vector<UINT>{WM_MOVE}));
    POINT origin{0, 0};
    ASSERT_TRUE(ClientToScreen(window, &origin));
    const RecordedMessage* move = Find(WM_MOVE);
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(MovePoint(move->lParam).x, origin.x);
    EXPECT_EQ(MovePoint(move->lParam).y, origin.y);
    EXPECT_EQ(origin.x, 50 + GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(origin.y, 60 + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION));

    ClearRecording();
    ASSERT_TRUE(MoveWindow(window, 50, 60, 328, 227, TRUE));
    EXPECT_TRUE(RecordedAmong({WM_MOVE, WM_SIZE}).empty()) << "nothing moved";
}

// A window procedure that closes its window on Escape and ends the loop when the window
// is destroyed, as an application's main window does.
std::vector<UINT> ClosingSeen;

LRESULT CALLBACK ClosingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ClosingSeen.push_back(message);
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(WindowMessages, EscapeClosesTheWindowAndEndsTheLoop) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ClosingProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ConformanceEscape";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    HWND window =
        CreateWindowExA(0, "ConformanceEscape", "Escape", WS_CAPTION | WS_THICKFRAME, 0, 0, 320,
                        200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    ClosingSeen.clear();

    // Escape with its scan code (1) and a repeat count of 1.
    ASSERT_TRUE(PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001));
    MSG msg{};
    int passes = 0;
    BOOL result = TRUE;
    while (passes++ < 100 && PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        result = GetMessageA(&msg, nullptr, 0, 0);
        if (result == 0)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(result, 0) << "the loop ends on WM_QUIT";
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_FALSE(IsWindow(window));
    std::vector<UINT> order;
    for (UINT message : ClosingSeen)
        if (message == WM_KEYDOWN || message == WM_CHAR || message == WM_CLOSE ||
            message == WM_DESTROY || message == WM_NCDESTROY)
            order.push_back(message);
    // TranslateMessage posted the character before the procedure posted WM_CLOSE.
    EXPECT_EQ(order, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    UnregisterClassA("ConformanceEscape", GetModuleHandleA(nullptr));
}

TEST(WindowMessages, ClassRegistration) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ConformanceClass";
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = "Conformance menu";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    {
        SCOPED_TRACE("the description reads back");
        WNDCLASSA read{};
        ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "conformanceCLASS", &read));
        EXPECT_EQ(read.style, UINT(CS_HREDRAW | CS_VREDRAW));
        EXPECT_EQ(read.hbrBackground, windowClass.hbrBackground);
        EXPECT_EQ(read.hIcon, nullptr);
        ASSERT_NE(read.lpszMenuName, nullptr);
        EXPECT_STREQ(read.lpszMenuName, "Conformance menu");
    }
    {
        SCOPED_TRACE("a second registration of the name fails");
        SetLastError(0);
        EXPECT_EQ(RegisterClassA(&windowClass), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    }
    HWND window = CreateWindowExA(0, "conformanceclass", "Any case", WS_POPUP, 0, 0, 10, 10,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    {
        SCOPED_TRACE("class names match in any letter case");
        EXPECT_NE(window, nullptr);
    }
    {
        SCOPED_TRACE("a class with windows stays registered");
        SetLastError(0);
        EXPECT_FALSE(UnregisterClassA("ConformanceClass", GetModuleHandleA(nullptr)));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    }
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassA("ConformanceClass", GetModuleHandleA(nullptr)));
    {
        SCOPED_TRACE("an unknown class creates no window");
        SetLastError(0);
        EXPECT_EQ(CreateWindowExA(0, "ConformanceClass", "Gone", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr),
                  nullptr);
        const DWORD error = GetLastError();
        // Wine reports ERROR_CLASS_DOES_NOT_EXIST here.
        if (!RunningOnWine()) {
            EXPECT_EQ(error, static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
        }
    }
    {
        SCOPED_TRACE("an unknown class cannot be unregistered");
        SetLastError(0);
        EXPECT_FALSE(UnregisterClassA("ConformanceClass", GetModuleHandleA(nullptr)));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
        WNDCLASSA read{};
        SetLastError(0);
        EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "ConformanceClass", &read));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
    }
}

} // namespace
