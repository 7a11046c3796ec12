// The thread's message queue: order, filters, the quit message, translation, painting.
#include "MessageRecorder.h"

#include <gtest/gtest.h>

namespace {

// Empties the queue of this thread, the quit message included.
void DrainQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST(MessageQueue, PostedMessagesComeInOrder) {
    DrainQueue();
    for (UINT i = 1; i <= 3; ++i)
        ASSERT_TRUE(PostMessageA(nullptr, WM_USER + i, i * 10, static_cast<LPARAM>(i * 100)));
    for (UINT i = 1; i <= 3; ++i) {
        SCOPED_TRACE(i);
        MSG msg{};
        ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
        EXPECT_EQ(msg.hwnd, nullptr);
        EXPECT_EQ(msg.message, WM_USER + i);
        EXPECT_EQ(msg.wParam, i * 10);
        EXPECT_EQ(msg.lParam, static_cast<LPARAM>(i * 100));
    }
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST(MessageQueue, QuitComesAfterThePostedMessages) {
    DrainQueue();
    PostQuitMessage(5);
    ASSERT_TRUE(PostMessageA(nullptr, WM_USER, 1, 2));
    MSG msg{};
    {
        SCOPED_TRACE("the message posted after the quit message comes first");
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
        ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    }
    {
        SCOPED_TRACE("looking without removing leaves the quit message");
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    }
    {
        SCOPED_TRACE("GetMessageA returns 0 for the quit message and takes it");
        EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
        EXPECT_EQ(msg.wParam, 5u);
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

TEST(MessageQueue, Filters) {
    DrainQueue();
    RecordingClass windowClass("ConformanceFilters");
    HWND window = windowClass.Create(WS_POPUP, 0, 0, 10, 10);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PostMessageA(nullptr, WM_USER + 1, 0, 0));
    ASSERT_TRUE(PostMessageA(window, WM_USER + 2, 0, 0));
    ASSERT_TRUE(PostMessageA(nullptr, WM_USER + 3, 0, 0));
    MSG msg{};
    {
        SCOPED_TRACE("a message range skips earlier messages");
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
        EXPECT_EQ(msg.message, WM_USER + 3);
    }
    {
        SCOPED_TRACE("a window filter takes only that window's messages");
        ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, WM_USER + 2);
        EXPECT_EQ(msg.hwnd, window);
        EXPECT_FALSE(PeekMessageA(&msg, window, 0, 0, PM_NOREMOVE));
    }
    {
        SCOPED_TRACE("what is left");
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, WM_USER + 1);
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

TEST(MessageQueue, ADestroyedWindowsMessagesAndHandle) {
    DrainQueue();
    RecordingClass windowClass("ConformanceDropped");
    HWND window = windowClass.Create(WS_POPUP, 0, 0, 10, 10);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PostMessageA(window, WM_USER, 0, 0));
    ASSERT_TRUE(DestroyWindow(window));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE));
    struct Call {
        const char* name;
        bool (*fails)(HWND);
        bool newerWineSetsError = true;
    };
    const Call calls[] = {
        {"PostMessageA", [](HWND gone) { return !PostMessageA(gone, WM_USER, 0, 0); }},
        {"SendMessageA", [](HWND gone) { return SendMessageA(gone, WM_USER, 0, 0) == 0; }},
        {"DispatchMessageA",
         [](HWND gone) {
             MSG dead{gone, WM_USER, 0, 0, 0, POINT{0, 0}};
             return DispatchMessageA(&dead) == 0;
         }},
        // Wine 10 leaves the last error alone here; Windows and Wine 8 set it.
        {"PeekMessageA",
         [](HWND gone) {
             MSG any;
             return !PeekMessageA(&any, gone, 0, 0, PM_NOREMOVE);
         },
         false},
        {"GetMessageA",
         [](HWND gone) {
             MSG any;
             return GetMessageA(&any, gone, 0, 0) == -1;
         }},
        {"SetFocus", [](HWND gone) { return SetFocus(gone) == nullptr; }},
    };
    for (const Call& call : calls) {
        SCOPED_TRACE(call.name);
        SetLastError(0);
        EXPECT_TRUE(call.fails(window));
        const DWORD error = GetLastError();
        if (call.newerWineSetsError || WineMajorVersion() <= 8) {
            EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
        }
    }
}

TEST(MessageQueue, TranslateMessagePostsTheCharacter) {
    DrainQueue();
    RecordingClass windowClass("ConformanceTranslate");
    HWND window = windowClass.Create(WS_POPUP, 0, 0, 10, 10);
    ASSERT_NE(window, nullptr);
    struct Key {
        WPARAM key;
        LPARAM scanAndRepeat;
        WPARAM character;
    };
    for (const Key& key : {Key{'A', 0x001E0001, 'a'}, Key{VK_ESCAPE, 0x00010001, 0x1B},
                           Key{VK_SPACE, 0x00390001, ' '}, Key{VK_RETURN, 0x001C0001, '\r'}}) {
        SCOPED_TRACE(key.character);
        MSG keyDown{window, WM_KEYDOWN, key.key, key.scanAndRepeat, 0, POINT{0, 0}};
        EXPECT_TRUE(TranslateMessage(&keyDown));
        MSG msg{};
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
        EXPECT_EQ(msg.hwnd, window);
        EXPECT_EQ(msg.wParam, key.character);
    }
    {
        SCOPED_TRACE("a key without a character posts nothing");
        MSG keyDown{window, WM_KEYDOWN, VK_LEFT, 0x014B0001, 0, POINT{0, 0}};
        TranslateMessage(&keyDown);
        MSG msg;
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_CHAR, WM_CHAR, PM_NOREMOVE));
    }
    {
        SCOPED_TRACE("other messages are not translated");
        MSG other{window, WM_USER, 0, 0, 0, POINT{0, 0}};
        EXPECT_FALSE(TranslateMessage(&other));
    }
}

TEST(MessageQueue, UpdateWindowPaintsAtOnce) {
    DrainQueue();
    RecordingClass windowClass("ConformancePaint");
    HWND window = windowClass.Create(WS_CAPTION | WS_THICKFRAME, 0, 0, 300, 200);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    ClearRecording();
    EXPECT_TRUE(UpdateWindow(window));
    EXPECT_EQ(RecordedAmong({WM_PAINT}), (std::vector<UINT>{WM_PAINT}));
    // The default procedure validated the window: nothing is left to paint.
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST(MessageQueue, DispatchHandsTheMessageToTheWindowProcedure) {
    DrainQueue();
    RecordingClass windowClass("ConformanceDispatch");
    HWND window = windowClass.Create(WS_POPUP, 0, 0, 10, 10);
    ASSERT_NE(window, nullptr);
    ClearRecording();
    ASSERT_TRUE(PostMessageA(window, WM_USER + 7, 3, 4));
    DispatchQueued();
    ASSERT_EQ(RecordedAmong({WM_USER + 7}).size(), 1u);
    const RecordedMessage& received = Recording().back();
    EXPECT_EQ(received.window, window);
    EXPECT_EQ(received.wParam, 3u);
    EXPECT_EQ(received.lParam, 4);
}

} // namespace
