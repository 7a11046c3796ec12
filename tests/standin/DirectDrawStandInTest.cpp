// The stand-in's DirectDraw under its control interface: the display description, the
// screen read back, the call log and scripted failures, the library made missing, and
// the rules it keeps where Wine is more lenient than DirectDraw.
#include "DirectDrawPrivate.h"
#include "StandInDirectDraw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

DDSURFACEDESC2 Description(DWORD flags, DWORD caps) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.ddsCaps.dwCaps = caps;
    return desc;
}

DDSURFACEDESC2 Offscreen(DWORD width, DWORD height) {
    DDSURFACEDESC2 desc = Description(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN);
    desc.dwWidth = width;
    desc.dwHeight = height;
    return desc;
}

DDSURFACEDESC2 FlipChain() {
    DDSURFACEDESC2 desc =
        Description(DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
                    DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY);
    desc.dwBackBufferCount = 1;
    return desc;
}

IDirectDrawSurface4* Create(IDirectDraw4* directDraw, DDSURFACEDESC2 desc) {
    IDirectDrawSurface4* surface = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
    return surface;
}

HWND NewWindow(int x, int y, int width, int height) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "DirectDrawStandIn";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "DirectDrawStandIn", "", WS_POPUP | WS_VISIBLE, x, y, width, height,
                           nullptr, nullptr, nullptr, nullptr);
}

// Writes rows packed at width * bytes per pixel into the surface through Lock.
void Write(IDirectDrawSurface4* surface, const std::vector<uint8_t>& pixels) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    const size_t row = pixels.size() / desc.dwHeight;
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch, &pixels[y * row], row);
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
}

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
    std::vector<uint8_t> pixels(size);
    for (size_t i = 0; i < size; ++i)
        pixels[i] = static_cast<uint8_t>(seed + i * 31 + i / 251);
    return pixels;
}

TEST(StandInDirectDraw, TheLibraryCanBeMadeMissing) {
    StandInReset();
    {
        SCOPED_TRACE("the whole library");
        StandInRemoveLibrary("DDraw.dll");
        EXPECT_EQ(LoadLibraryA("DDraw.dll"), nullptr);
    }
    StandInReset();
    {
        SCOPED_TRACE("one export");
        StandInRemoveExport("DDraw.dll", "DirectDrawCreate");
        HMODULE library = LoadLibraryA("DDraw.dll");
        ASSERT_NE(library, nullptr);
        EXPECT_EQ(GetProcAddress(library, "DirectDrawCreate"), nullptr);
        EXPECT_NE(GetProcAddress(library, "DirectDrawCreateEx"), nullptr);
        EXPECT_TRUE(FreeLibrary(library));
    }
    StandInReset();
    {
        SCOPED_TRACE("back after a reset; the exports the program never calls");
        HMODULE library = LoadLibraryA("DDraw.dll");
        ASSERT_NE(library, nullptr);
        EXPECT_NE(GetProcAddress(library, "DirectDrawCreate"), nullptr);
        auto enumerate = reinterpret_cast<HRESULT(WINAPI*)(LPDDENUMCALLBACKA, LPVOID)>(
            reinterpret_cast<void (*)()>(GetProcAddress(library, "DirectDrawEnumerateA")));
        ASSERT_NE(enumerate, nullptr);
        EXPECT_EQ(enumerate(nullptr, nullptr), DDERR_UNSUPPORTED);
        EXPECT_TRUE(FreeLibrary(library));
    }
}

TEST(StandInDirectDraw, CallLogAndScriptedFailures) {
    StandInReset();
    IDirectDraw4* directDraw = NewDirectDraw4();
    ASSERT_EQ(directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface4* source = Create(directDraw, Offscreen(8, 4));
    IDirectDrawSurface4* dest = Create(directDraw, Offscreen(8, 4));
    RECT to = {1, 2, 3, 4};
    StandInClearCallLog();
    EXPECT_EQ(dest->Blt(&to, source, nullptr, 0, nullptr), DD_OK);
    void* unknown = nullptr;
    directDraw->QueryInterface(IID_IDirectDrawClipper, &unknown);
    EXPECT_EQ(StandInCallLog(), (std::vector<std::string>{
                                    "IDirectDrawSurface4::Blt({1, 2, 3, 4}, ptr, NULL, 0, NULL)",
                                    "IDirectDraw4::QueryInterface(IID_IDirectDrawClipper, ptr)"}));
    {
        SCOPED_TRACE("a chosen result");
        StandInFailCall("IDirectDraw4::SetDisplayMode", DDERR_UNSUPPORTEDMODE);
        EXPECT_EQ(directDraw->SetDisplayMode(320, 200, 32, 0, 0), DDERR_UNSUPPORTEDMODE);
        EXPECT_EQ(StandInScreenWidth(), 1024);
    }
    {
        SCOPED_TRACE("no result given: DDERR_GENERIC, from the second call on");
        StandInFailCall("IDirectDrawSurface4::Lock", 0, 1);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        EXPECT_EQ(source->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        EXPECT_EQ(source->Unlock(nullptr), DD_OK);
        EXPECT_EQ(source->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_GENERIC);
        EXPECT_EQ(source->Unlock(nullptr), DDERR_NOTLOCKED);
    }
    {
        SCOPED_TRACE("a failed creation hands out nothing");
        StandInFailCall("DirectDrawCreate", DDERR_OUTOFMEMORY);
        IDirectDraw* none = reinterpret_cast<IDirectDraw*>(&unknown);
        EXPECT_EQ(DirectDrawCreate(nullptr, &none, nullptr), DDERR_OUTOFMEMORY);
        EXPECT_EQ(none, nullptr);
    }
    EXPECT_EQ(dest->Release(), 0u);
    EXPECT_EQ(source->Release(), 0u);
    EXPECT_EQ(directDraw->Release(), 0u);
}

TEST(StandInDirectDraw, DisplayDescription) {
    StandInReset();
    StandInDisplay display;
    display.fullScreenDepths = {16, 8};
    display.fullScreenRedMask16 = 0x7C00;
    StandInSetDisplay(display);
    HWND window = NewWindow(0, 0, 320, 200);
    IDirectDraw4* directDraw = NewDirectDraw4();
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    {
        SCOPED_TRACE("depths the display refuses");
        EXPECT_EQ(directDraw->SetDisplayMode(320, 200, 32, 0, 0), DDERR_UNSUPPORTED);
        EXPECT_EQ(directDraw->SetDisplayMode(320, 200, 24, 0, 0), DDERR_UNSUPPORTED);
    }
    const struct {
        DWORD bpp;
        DWORD flags;
        DWORD red, green, blue;
        LONG pitch;
    } modes[] = {
        {16, DDPF_RGB, 0x7C00, 0x03E0, 0x001F, 640},
        {8, DDPF_RGB | DDPF_PALETTEINDEXED8, 0, 0, 0, 320},
    };
    for (const auto& mode : modes) {
        SCOPED_TRACE(testing::Message() << mode.bpp << " bits");
        ASSERT_EQ(directDraw->SetDisplayMode(320, 200, mode.bpp, 0, 0), DD_OK);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(directDraw->GetDisplayMode(&desc), DD_OK);
        EXPECT_EQ(desc.ddpfPixelFormat.dwFlags, mode.flags);
        EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, mode.bpp);
        EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, mode.red);
        EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, mode.green);
        EXPECT_EQ(desc.ddpfPixelFormat.dwBBitMask, mode.blue);
        EXPECT_EQ(desc.lPitch, mode.pitch);
        EXPECT_EQ(desc.dwRefreshRate, 60u);
        EXPECT_EQ(StandInScreenWidth(), 320);
        EXPECT_EQ(StandInScreenBitsPerPixel(), static_cast<int>(mode.bpp));
    }
    EXPECT_EQ(directDraw->Release(), 0u);
    EXPECT_EQ(StandInScreenWidth(), 1024) << "the desktop's mode comes back";

    const struct {
        int bits;
        DWORD redMask16;
        DWORD rgbBits, red, green;
    } desktops[] = {
        {16, 0xF800, 16, 0xF800, 0x07E0},
        {16, 0x7C00, 16, 0x7C00, 0x03E0},
        {16, 0x001F, 16, 0x001F, 0x07E0},
        {24, 0, 24, 0xFF0000, 0x00FF00},
    };
    for (const auto& desktop : desktops) {
        SCOPED_TRACE(testing::Message()
                     << "desktop at " << desktop.bits << " bits, red mask " << desktop.redMask16);
        display.desktopBitsPerPixel = desktop.bits;
        display.desktopRedMask16 = desktop.redMask16;
        StandInSetDisplay(display);
        directDraw = NewDirectDraw4();
        ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
        IDirectDrawSurface4* surface = Create(directDraw, Offscreen(4, 4));
        DDPIXELFORMAT format{};
        ASSERT_EQ(surface->GetPixelFormat(&format), DD_OK);
        EXPECT_EQ(format.dwRGBBitCount, desktop.rgbBits);
        EXPECT_EQ(format.dwRBitMask, desktop.red);
        EXPECT_EQ(format.dwGBitMask, desktop.green);
        EXPECT_EQ(surface->Release(), 0u);
        EXPECT_EQ(directDraw->Release(), 0u);
    }
    DestroyWindow(window);
}

// The red mask tells the two 16-bit layouts apart and means nothing at other depths: a
// mode that differs in it alone shows its pixels alike.
TEST(StandInDirectDraw, ModesDifferInWhatTheyShow) {
    const struct {
        const char* label;
        ScreenMode a, b;
        bool same;
    } cases[] = {
        {"32 bits, masks that mean nothing", {320, 200, 32, 0xF800}, {320, 200, 32, 0x7C00}, true},
        {"24 bits, likewise", {320, 200, 24, 0}, {320, 200, 24, 0x7C00}, true},
        {"16 bits, 5-6-5 and 5-5-5", {320, 200, 16, 0xF800}, {320, 200, 16, 0x7C00}, false},
        {"15 and 16 bits", {320, 200, 15, 0x7C00}, {320, 200, 16, 0x7C00}, false},
        {"another size", {320, 200, 32, 0xF800}, {320, 240, 32, 0xF800}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(SameMode(c.a, c.b), c.same);
        EXPECT_EQ(SameMode(c.b, c.a), c.same);
    }
}

TEST(StandInDirectDraw, FullVideoMemoryRefusesWhatIsAskedForThere) {
    StandInReset();
    StandInDisplay display;
    display.videoMemoryFull = true;
    StandInSetDisplay(display);
    HWND window = NewWindow(0, 0, 320, 200);
    IDirectDraw4* directDraw = NewDirectDraw4();
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    DDSURFACEDESC2 chain = FlipChain();
    IDirectDrawSurface4* surface = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&chain, &surface, nullptr), DDERR_OUTOFVIDEOMEMORY);
    // Without a placement DirectDraw falls back to system memory.
    chain.ddsCaps.dwCaps &= ~DDSCAPS_VIDEOMEMORY;
    surface = Create(directDraw, chain);
    ASSERT_NE(surface, nullptr);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.ddsCaps.dwCaps & (DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY),
              DWORD(DDSCAPS_SYSTEMMEMORY));
    EXPECT_EQ(surface->Release(), 0u);
    EXPECT_EQ(directDraw->Release(), 0u);
    DestroyWindow(window);
}

TEST(StandInDirectDraw, PitchPaddingIsGuarded) {
    StandInReset();
    StandInDisplay display;
    display.surfacePitchPadding = 12;
    StandInSetDisplay(display);
    IDirectDraw4* directDraw = NewDirectDraw4();
    ASSERT_EQ(directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface4* source = Create(directDraw, Offscreen(8, 4));
    IDirectDrawSurface4* dest = Create(directDraw, Offscreen(8, 4));
    Write(source, Pattern(8 * 4 * 4, 5));
    ASSERT_EQ(dest->Blt(nullptr, source, nullptr, 0, nullptr), DD_OK);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(dest->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(desc.lPitch, 8 * 4 + 12);
    const auto* bytes = static_cast<const uint8_t*>(desc.lpSurface);
    for (DWORD y = 0; y < 4; ++y)
        for (int k = 0; k < 12; ++k)
            EXPECT_EQ(bytes[y * desc.lPitch + 32 + k], GuardByte) << "row " << y << " byte " << k;
    EXPECT_EQ(dest->Unlock(nullptr), DD_OK);
    EXPECT_EQ(dest->Release(), 0u);
    EXPECT_EQ(source->Release(), 0u);
    EXPECT_EQ(directDraw->Release(), 0u);
}

TEST(StandInDirectDraw, TheScreenShowsTheWindowedBlt) {
    StandInReset();
    StandInDisplay display;
    display.surfacePitchPadding = 8;
    StandInSetDisplay(display);
    {
        SCOPED_TRACE("nothing drawn yet: black; an area off the screen: nothing");
        EXPECT_EQ(StandInReadScreen(RECT{0, 0, 2, 1}), std::vector<uint8_t>(8, 0));
        EXPECT_TRUE(StandInReadScreen(RECT{1000, 0, 1030, 10}).empty());
        EXPECT_TRUE(StandInReadScreen(RECT{5, 5, 5, 10}).empty());
    }
    HWND window = NewWindow(1000, 700, 320, 200); // reaches past the screen's corner
    IDirectDraw4* directDraw = NewDirectDraw4();
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface4* primary =
        Create(directDraw, Description(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE));
    IDirectDrawSurface4* frame = Create(directDraw, Offscreen(320, 200));
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(directDraw->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_EQ(clipper->SetHWnd(0, window), DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    clipper->Release();
    const std::vector<uint8_t> pattern = Pattern(320 * 200 * 4, 9);
    Write(frame, pattern);
    RECT to = {1000, 700, 1320, 900};
    ASSERT_EQ(primary->Blt(&to, frame, nullptr, 0, nullptr), DD_OK);
    {
        SCOPED_TRACE("the visible corner of the window, rows packed");
        const std::vector<uint8_t> shown = StandInReadScreen(RECT{1000, 700, 1024, 768});
        ASSERT_EQ(shown.size(), 24u * 68 * 4);
        for (size_t y = 0; y < 68; ++y)
            ASSERT_TRUE(std::equal(shown.begin() + y * 96, shown.begin() + (y + 1) * 96,
                                   pattern.begin() + y * 1280))
                << "row " << y;
    }
    {
        SCOPED_TRACE("outside the window the screen stays black");
        EXPECT_EQ(StandInReadScreen(RECT{996, 700, 1000, 701}), std::vector<uint8_t>(16, 0));
    }
    {
        SCOPED_TRACE("a window that is gone fails the clipped blit");
        DestroyWindow(window);
        EXPECT_EQ(primary->Blt(&to, frame, nullptr, 0, nullptr), DDERR_GENERIC);
    }
    EXPECT_EQ(frame->Release(), 0u);
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(directDraw->Release(), 0u);
}

TEST(StandInDirectDraw, TheScreenShowsTheFrontBuffer) {
    StandInReset();
    StandInDisplay display;
    display.fullScreenRedMask16 = 0xF800;
    StandInSetDisplay(display);
    HWND window = NewWindow(0, 0, 320, 200);
    IDirectDraw4* directDraw = NewDirectDraw4();
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(directDraw->SetDisplayMode(320, 200, 16, 0, 0), DD_OK);
    IDirectDrawSurface4* front = Create(directDraw, FlipChain());
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    IDirectDrawSurface4* back = nullptr;
    ASSERT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);
    const std::vector<uint8_t> first = Pattern(320 * 200 * 2, 1);
    const std::vector<uint8_t> second = Pattern(320 * 200 * 2, 2);
    const RECT screen = {0, 0, 320, 200};
    Write(back, first);
    EXPECT_EQ(StandInReadScreen(screen), std::vector<uint8_t>(first.size(), 0));
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(StandInReadScreen(screen), first);
    Write(back, second);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(StandInReadScreen(screen), second);
    {
        SCOPED_TRACE("a locked buffer stops the flip");
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        EXPECT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACEBUSY);
        EXPECT_EQ(back->Unlock(nullptr), DD_OK);
        EXPECT_EQ(StandInReadScreen(screen), second);
    }
    {
        SCOPED_TRACE("flipping needs exclusive mode");
        ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
        EXPECT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DDERR_NOEXCLUSIVEMODE);
    }
    back->Release();
    EXPECT_EQ(front->Release(), 0u);
    EXPECT_EQ(directDraw->Release(), 0u);
    DestroyWindow(window);
}

TEST(StandInDirectDraw, RulesWineRelaxes) {
    StandInReset();
    IDirectDraw4* directDraw = NewDirectDraw4();
    ASSERT_EQ(directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface4* surface = nullptr;
    {
        SCOPED_TRACE("the primary surface takes the screen's size, none of its own");
        DDSURFACEDESC2 desc =
            Description(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_PRIMARYSURFACE);
        desc.dwWidth = 10;
        desc.dwHeight = 10;
        EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);
    }
    {
        SCOPED_TRACE("a pixel format other than the display's");
        DDSURFACEDESC2 desc = Offscreen(4, 4);
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = PixelFormatOf(16, 0xF800);
        EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DDERR_UNSUPPORTED);
    }
    {
        SCOPED_TRACE("an unknown interface of a surface");
        surface = Create(directDraw, Offscreen(4, 4));
        void* unknown = surface;
        EXPECT_EQ(surface->QueryInterface(IID_IDirectDraw, &unknown), E_NOINTERFACE);
        EXPECT_EQ(unknown, nullptr);
    }
    {
        SCOPED_TRACE("a source rectangle past the source, even where clipping hides it");
        HWND window = NewWindow(0, 0, 4, 4);
        IDirectDrawSurface4* primary =
            Create(directDraw, Description(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE));
        IDirectDrawClipper* clipper = nullptr;
        ASSERT_EQ(directDraw->CreateClipper(0, &clipper, nullptr), DD_OK);
        ASSERT_EQ(clipper->SetHWnd(0, window), DD_OK);
        ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
        clipper->Release();
        RECT to = {0, 0, 8, 8};
        RECT from = {0, 0, 5, 4};
        EXPECT_EQ(primary->Blt(&to, surface, &from, 0, nullptr), DDERR_INVALIDRECT);
        EXPECT_EQ(primary->Release(), 0u);
        DestroyWindow(window);
    }
    {
        SCOPED_TRACE("surfaces of two pixel formats");
        HWND window = NewWindow(0, 0, 320, 200);
        ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
                  DD_OK);
        ASSERT_EQ(directDraw->SetDisplayMode(320, 200, 16, 0, 0), DD_OK);
        IDirectDrawSurface4* at16 = Create(directDraw, Offscreen(4, 4));
        EXPECT_EQ(at16->Blt(nullptr, surface, nullptr, 0, nullptr), DDERR_UNSUPPORTED);
        EXPECT_EQ(at16->Release(), 0u);
        DestroyWindow(window);
    }
    EXPECT_EQ(surface->Release(), 0u);
    EXPECT_EQ(directDraw->Release(), 0u);
}

TEST(StandInDirectDraw, ResetEndsEveryObject) {
    StandInReset();
    HWND window = NewWindow(0, 0, 320, 200);
    IDirectDraw4* directDraw = NewDirectDraw4();
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(directDraw->SetDisplayMode(320, 200, 32, 0, 0), DD_OK);
    Create(directDraw, FlipChain());
    StandInReset(); // the objects above are gone, never released
    EXPECT_EQ(StandInScreenWidth(), 1024);
    IDirectDraw4* next = NewDirectDraw4();
    ASSERT_EQ(next->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(next->SetDisplayMode(640, 480, 32, 0, 0), DD_OK)
        << "no object holds exclusive mode any more";
    EXPECT_EQ(next->Release(), 0u);
    EXPECT_EQ(StandInScreenWidth(), 1024);
}

// Warming the caches for the next frame reads live memory only: a freed heap block or a
// released surface read there ends the sanitizer's run.
TEST(StandInDirectDraw, CacheWarmingReadsLiveMemoryOnly) {
    StandInReset();
    void* kept = HeapAlloc(GetProcessHeap(), 0, 256 * 1024);
    HeapFree(GetProcessHeap(), 0, HeapAlloc(GetProcessHeap(), 0, 256 * 1024));
    IDirectDraw4* directDraw = NewDirectDraw4();
    ASSERT_EQ(directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface4* surface = Create(directDraw, Offscreen(320, 200));
    EXPECT_EQ(Create(directDraw, Offscreen(640, 480))->Release(), 0u);
    WarmFrameMemory();
    EXPECT_EQ(surface->Release(), 0u);
    EXPECT_EQ(directDraw->Release(), 0u);
    WarmFrameMemory();
    HeapFree(GetProcessHeap(), 0, kept);
    WarmFrameMemory();
}

} // namespace
