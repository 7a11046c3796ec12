// Where the stand-in's logic hands over to a presentation layer: a recording presentation
// in place of SDL sees windows, the cursor, the screen and its mode change, answers for
// window creation, and is waited on by GetMessageA.
#include "StandInPrivate.h"
#include "StandInDirectDraw.h"
#include "Terminal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Events;
bool DisplayPresent = true;
int InputTaken = 0;
int Waits = 0;

std::string RectText(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

void RecordWindowChanged(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    Events.push_back("window " + RectText(rect) + (IsWindowVisible(window) ? " shown" : " hidden"));
}

void RecordWindowDestroyed(HWND) {
    Events.push_back("destroyed");
}

void RecordCursor(int count) {
    Events.push_back("cursor " + std::to_string(count));
}

void RecordScreen(const RECT& area) {
    Events.push_back("screen " + RectText(area));
}

void RecordMode(bool modeSet) {
    Events.push_back(modeSet ? "mode set" : "desktop");
}

bool CanShow() {
    return DisplayPresent;
}

void TakeInput() {
    ++InputTaken;
}

void RecordWaitBegins() {
    Events.push_back("wait begins");
}

void RecordWaitEnds() {
    Events.push_back("wait ends");
}

// The person's answer arrives while GetMessageA waits: the quit message.
bool WaitForQuit() {
    ++Waits;
    PostQuitMessage(5);
    return true;
}

class PresentationLayerCalls : public testing::Test {
  protected:
    void SetUp() override {
        StandInReset();
        Events.clear();
        DisplayPresent = true;
        InputTaken = Waits = 0;
        PresentationLayer = PresentationHooks{
            nullptr,      CanShow,          RecordWindowChanged, RecordWindowDestroyed,
            RecordCursor, RecordScreen,     RecordMode,          TakeInput,
            WaitForQuit,  RecordWaitBegins, RecordWaitEnds};
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "PresentationLayerCalls";
        RegisterClassA(&windowClass);
    }
    void TearDown() override {
        PresentationLayer = PresentationHooks{};
        StandInReset();
    }

    HWND NewWindow(int x, int y, int width, int height) {
        return CreateWindowExA(0, "PresentationLayerCalls", "", WS_POPUP | WS_VISIBLE, x, y, width,
                               height, nullptr, nullptr, nullptr, nullptr);
    }
};

TEST_F(PresentationLayerCalls, WindowsAndCursor) {
    const HWND window = NewWindow(10, 20, 100, 50);
    ASSERT_NE(window, nullptr);
    SCOPED_TRACE("shown at creation, moved, hidden, cursor hidden, destroyed");
    MoveWindow(window, 30, 40, 100, 50, TRUE);
    ShowWindow(window, SW_HIDE);
    ShowCursor(FALSE);
    DestroyWindow(window);
    EXPECT_EQ(Events,
              (std::vector<std::string>{"window 10,20,110,70 shown", "window 30,40,130,90 shown",
                                        "window 30,40,130,90 hidden", "cursor -1", "destroyed"}));
}

TEST_F(PresentationLayerCalls, NoWindowWithoutDisplay) {
    DisplayPresent = false;
    SetLastError(0);
    EXPECT_EQ(NewWindow(10, 20, 100, 50), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(StandInWindows().empty());
    EXPECT_TRUE(Events.empty());
}

TEST_F(PresentationLayerCalls, WindowedScreenChanges) {
    const HWND window = NewWindow(100, 50, 64, 32);
    IDirectDraw4* directDraw = NewDirectDraw4();
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface4* primary = NewSurface(directDraw, DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
    IDirectDrawSurface4* back = NewSurface(directDraw, DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT,
                                           DDSCAPS_OFFSCREENPLAIN, 64, 32);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(directDraw->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_EQ(clipper->SetHWnd(0, window), DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    Events.clear();

    RECT source{0, 0, 64, 32};
    RECT client{100, 50, 164, 82};
    ASSERT_EQ(primary->Blt(&client, back, &source, 0, nullptr), DD_OK);
    RECT halfOutside{132, 66, 196, 98};
    ASSERT_EQ(primary->Blt(&halfOutside, back, &source, 0, nullptr), DD_OK);
    SCOPED_TRACE("an off-screen surface is nobody's screen");
    ASSERT_EQ(back->Blt(&source, back, &source, 0, nullptr), DD_OK);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(primary->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    ASSERT_EQ(primary->Unlock(nullptr), DD_OK);
    EXPECT_EQ(Events, (std::vector<std::string>{"screen 100,50,164,82", "screen 132,66,164,82",
                                                "screen 0,0,1024,768"}));
    clipper->Release();
    back->Release();
    primary->Release();
    directDraw->Release();
}

TEST_F(PresentationLayerCalls, FullScreenChanges) {
    const HWND window = NewWindow(0, 0, 320, 200);
    IDirectDraw4* directDraw = NewDirectDraw4();
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    Events.clear();
    ASSERT_EQ(directDraw->SetDisplayMode(320, 200, 32, 0, 0), DD_OK);
    IDirectDrawSurface4* front =
        NewSurface(directDraw, DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
                   DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    front->Release();
    SCOPED_TRACE("the object's end gives the desktop its mode back");
    directDraw->Release();
    EXPECT_EQ(Events, (std::vector<std::string>{"mode set", "screen 0,0,320,200", "desktop"}));
}

TEST_F(PresentationLayerCalls, MessageFunctionsTakeInput) {
    MSG message{};
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(InputTaken, 1);
    SCOPED_TRACE("an empty queue: GetMessageA waits for the person instead of giving up");
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), FALSE);
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 5u);
    EXPECT_EQ(Waits, 1);
    EXPECT_EQ(InputTaken, 2);
}

// Sleep tells the presentation when its wait begins and ends, on the real clock (the frame
// loop's) as on the tests' virtual one: the presentation draws in between, off the frame.
TEST_F(PresentationLayerCalls, EveryWaitIsAnnounced) {
    const std::vector<std::string> wait{"wait begins", "wait ends"};
    {
        SCOPED_TRACE("the virtual clock");
        Sleep(50);
        EXPECT_EQ(GetTickCount(), 50u);
        EXPECT_EQ(Events, wait);
    }
    {
        SCOPED_TRACE("the real clock, never shorter than asked");
        for (const DWORD milliseconds : {0u, 1u, 3u}) {
            Events.clear();
            const unsigned long long started = FrameClock();
            SleepForReal(milliseconds);
            EXPECT_GE(FrameClock() - started, milliseconds * 1000000ULL) << milliseconds;
            EXPECT_EQ(Events, wait);
        }
    }
}

// The clocked tail of a real wait grows at once to cover a late wake-up with 100 us to
// spare, shrinks by 5 us a wait while they come early, and stays within 400 us and 1.5 ms.
TEST(RealClock, TailFollowsWakeUps) {
    const struct {
        const char* what;
        long spin;
        long long lateness;
        long expected;
    } cases[] = {
        {"an early wake-up keeps the shortest tail", 400000, 60000, 400000},
        {"a late one widens it to cover it", 400000, 450000, 550000},
        {"early ones shrink it slowly", 550000, 60000, 545000},
        {"a later one than covered widens it again", 545000, 500000, 600000},
        {"never beyond 1.5 ms", 400000, 20000000, 1500000},
        {"never below 400 us", 402000, 0, 400000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SpinAfterWakeUp(c.spin, c.lateness), c.expected);
    }
}

} // namespace
