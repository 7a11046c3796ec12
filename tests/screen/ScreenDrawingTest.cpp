// When the screen layer draws: a Blt or Flip onto the screen shows nothing until the
// program waits, the wait shows the newest picture, and a program that does not wait has
// its pictures shown at a hand-over once the oldest change waited the hold limit; a wait for
// the person (a message box, GetMessageA with nothing queued) shows the newest too. On
// SDL's dummy driver, whose window surfaces are plain memory: what an SDL window's surface
// holds is what a person would see.
#include "BoxEvents.h"
#include "InvisibleScreen.h"
#include "Screen.h"
#include "StandInDirectDraw.h"
#include "SurfacePixels.h"

#include <StandIn.h>
#include <ddraw.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>

bool FailWindowSurfaceUpdates = false;

extern "C" int SDL_UpdateWindowSurface(SDL_Window* window) {
    if (FailWindowSurfaceUpdates)
        return SDL_SetError("the test made the update fail");
    using Update = int (*)(SDL_Window*);
    static const Update sdl = reinterpret_cast<Update>(dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface"));
    return sdl(window);
}

namespace {

constexpr int Left = 100, Top = 50, Width = 64, Height = 32;

class ScreenDrawing : public testing::Test {
  protected:
    void SetUp() override {
        StartInvisibleScreen("ScreenDrawing");
        DirectDraw = NewDirectDraw4();
        ASSERT_NE(DirectDraw, nullptr);
    }
    void TearDown() override {
        if (Back != nullptr)
            Back->Release();
        if (Primary != nullptr)
            Primary->Release();
        DirectDraw->Release();
        StandInReset();
        CloseSdlWindows();
    }

    // Fills the surface with one colour (0xRRGGBB), as the program writes a frame.
    static void Fill(IDirectDrawSurface4* surface, uint32_t colour) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            for (DWORD x = 0; x < desc.dwWidth; ++x)
                std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * 4,
                            &colour, 4);
        ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
    }

    IDirectDraw4* DirectDraw = nullptr;
    IDirectDrawSurface4* Primary = nullptr;
    IDirectDrawSurface4* Back = nullptr;
};

// The colour (0xRRGGBB) a person sees at (x, y) of the SDL window that shows the window.
uint32_t Seen(HWND window, int x, int y) {
    SDL_Surface* surface = SDL_GetWindowSurface(SdlWindowOf(window));
    if (surface == nullptr || x >= surface->w || y >= surface->h)
        return 0xDEAD;
    const SDL_Color colour = ColourAt(surface, x, y);
    return static_cast<uint32_t>(colour.r) << 16 | static_cast<uint32_t>(colour.g) << 8 | colour.b;
}

// An SDL timer's callback (on SDL's timer thread): the person presses A in the SDL window
// whose id it is given.
Uint32 PressA(Uint32, void* windowId) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.windowID = *static_cast<Uint32*>(windowId);
    event.key.state = SDL_PRESSED;
    event.key.keysym.scancode = SDL_SCANCODE_A;
    event.key.keysym.sym = SDLK_a;
    SDL_PushEvent(&event);
    return 0; // once
}

TEST_F(ScreenDrawing, WindowShowsTheNewestPictureAfterAWait) {
    const HWND window = CreateWindowExA(0, "ScreenDrawing", "", WS_POPUP | WS_VISIBLE, Left, Top,
                                        Width, Height, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(DirectDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    Primary = NewSurface(DirectDraw, DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
    Back = NewSurface(DirectDraw, DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN,
                      Width, Height);
    RECT source{0, 0, Width, Height};
    RECT client{Left, Top, Left + Width, Top + Height};
    ASSERT_EQ(Seen(window, 0, 0), 0x000000u) << "a new window shows the black screen";
    {
        SCOPED_TRACE("pictures presented without a wait are not drawn");
        for (uint32_t colour : {0x102030u, 0x405060u}) {
            Fill(Back, colour);
            ASSERT_EQ(Primary->Blt(&client, Back, &source, 0, nullptr), DD_OK);
        }
        EXPECT_EQ(Seen(window, 0, 0), 0x000000u);
    }
    {
        SCOPED_TRACE("a wait shows the newest, everywhere in the window");
        Sleep(50);
        EXPECT_EQ(Seen(window, 0, 0), 0x405060u);
        EXPECT_EQ(Seen(window, Width - 1, Height - 1), 0x405060u);
    }
    {
        SCOPED_TRACE("a program that does not wait: shown at the hand-over past the hold limit");
        Fill(Back, 0x708090u);
        ASSERT_EQ(Primary->Blt(&client, Back, &source, 0, nullptr), DD_OK);
        StandInAdvanceClock(ScreenHoldLimit - 1);
        Fill(Back, 0xA0B0C0u);
        ASSERT_EQ(Primary->Blt(&client, Back, &source, 0, nullptr), DD_OK);
        EXPECT_EQ(Seen(window, 0, 0), 0x405060u) << "not yet the hold limit";
        StandInAdvanceClock(1);
        Fill(Back, 0xC0D0E0u);
        ASSERT_EQ(Primary->Blt(&client, Back, &source, 0, nullptr), DD_OK);
        EXPECT_EQ(Seen(window, 0, 0), 0xC0D0E0u);
    }
    {
        SCOPED_TRACE("the person's wait in a message box shows the newest");
        Fill(Back, 0x0A0B0Cu);
        ASSERT_EQ(Primary->Blt(&client, Back, &source, 0, nullptr), DD_OK);
        WhenTheBoxShows({KeyPress(SDLK_RETURN), KeyPress(SDLK_ESCAPE)});
        EXPECT_EQ(ShowMessageBoxOnScreen(window, "text", "caption", MB_OKCANCEL), IDOK);
        EXPECT_EQ(Seen(window, 0, 0), 0x0A0B0Cu);
    }
    {
        SCOPED_TRACE("GetMessageA waiting for the person's input shows the newest");
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) // SDL's and WM_PAINT
            DispatchMessageA(&message);
        Fill(Back, 0x1A2B3Cu);
        ASSERT_EQ(Primary->Blt(&client, Back, &source, 0, nullptr), DD_OK);
        // The key comes well after GetMessageA has found its queue empty and begun to wait.
        Uint32 windowId = SDL_GetWindowID(SdlWindowOf(window));
        ASSERT_NE(SDL_AddTimer(100, PressA, &windowId), 0);
        ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
        EXPECT_EQ(message.message, static_cast<UINT>(WM_KEYDOWN));
        EXPECT_EQ(message.wParam, static_cast<WPARAM>('A'));
        EXPECT_EQ(Seen(window, 0, 0), 0x1A2B3Cu);
    }
}

TEST_F(ScreenDrawing, FullScreenShowsTheNewestPictureEnlargedAfterAWait) {
    const HWND window = CreateWindowExA(0, "ScreenDrawing", "", WS_POPUP | WS_VISIBLE, 0, 0, 320,
                                        200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(DirectDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(DirectDraw->SetDisplayMode(320, 200, 32, 0, 0), DD_OK);
    Primary = NewSurface(DirectDraw, DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
                         DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX);
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    ASSERT_EQ(Primary->GetAttachedSurface(&caps, &Back), DD_OK);
    SDL_Surface* shown = SDL_GetWindowSurface(SdlWindowOf(window));
    ASSERT_NE(shown, nullptr);
    // The dummy display is 1024 x 768: three times 320 x 200, in the middle.
    const int factor = 3, x = (shown->w - 320 * factor) / 2, y = (shown->h - 200 * factor) / 2;
    Fill(Back, 0x336699u);
    ASSERT_EQ(Primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(Seen(window, x, y), 0x000000u) << "flipped, not yet drawn";
    Sleep(50);
    EXPECT_EQ(Seen(window, x, y), 0x336699u);
    EXPECT_EQ(Seen(window, x + 320 * factor - 1, y + 200 * factor - 1), 0x336699u);
    EXPECT_EQ(Seen(window, x - 1, y), 0x000000u) << "black around the screen";
    EXPECT_EQ(Seen(window, x, y + 200 * factor), 0x000000u);
}

// A window nobody sees is no run: on the invisible display the run goes on, with the line
// that ends a real one.
TEST_F(ScreenDrawing, AWindowWhoseFirstPictureCannotBeShownEndsTheRun) {
    {
        SCOPED_TRACE("its first picture cannot be shown");
        FailWindowSurfaceUpdates = true;
        testing::internal::CaptureStderr();
        const HWND window =
            CreateWindowExA(0, "ScreenDrawing", "Unseen", WS_POPUP | WS_VISIBLE, Left, Top, Width,
                            Height, nullptr, nullptr, nullptr, nullptr);
        FailWindowSurfaceUpdates = false;
        EXPECT_THAT(testing::internal::GetCapturedStderr(),
                    testing::HasSubstr("cannot show the window \"Unseen\" on the display"));
        DestroyWindow(window);
    }
    {
        SCOPED_TRACE("a window shown before goes on when a later picture fails");
        const HWND window =
            CreateWindowExA(0, "ScreenDrawing", "Shown", WS_POPUP | WS_VISIBLE, Left, Top, Width,
                            Height, nullptr, nullptr, nullptr, nullptr);
        FailWindowSurfaceUpdates = true;
        testing::internal::CaptureStderr();
        SetWindowPos(window, nullptr, 0, 0, Width * 2, Height, SWP_NOMOVE | SWP_NOZORDER);
        FailWindowSurfaceUpdates = false;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
}

} // namespace
