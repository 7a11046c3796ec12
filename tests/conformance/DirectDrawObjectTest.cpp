// The DirectDraw library and object: exports, interfaces and reference counts,
// cooperative levels, display modes and the checks CreateSurface makes first.
#include "DirectDrawTesting.h"

#include <cstring>

namespace {

const GUID UnknownIid = {
    0x1F2E3D4C, 0x5B6A, 0x7988, {0x97, 0xA6, 0xB5, 0xC4, 0xD3, 0xE2, 0xF1, 0x00}};

TEST(DirectDrawLibrary, ExportsByName) {
    HMODULE library = LoadLibraryA("DDraw.dll");
    ASSERT_NE(library, nullptr);
    for (const char* name : {"DirectDrawEnumerateA", "DirectDrawEnumerateW",
                             "DirectDrawEnumerateExA", "DirectDrawEnumerateExW", "DirectDrawCreate",
                             "DirectDrawCreateEx", "DirectDrawCreateClipper"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(GetProcAddress(library, name), nullptr);
    }
    {
        SCOPED_TRACE("no such export");
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(library, "DirectDrawCreateSomething"), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    }
    {
        SCOPED_TRACE("the library by another letter case is the same module");
        HMODULE again = LoadLibraryA("ddraw.dll");
        EXPECT_EQ(again, library);
        EXPECT_TRUE(FreeLibrary(again));
    }
    EXPECT_TRUE(FreeLibrary(library));
}

TEST_F(DirectDrawTest, CreateAndQueryInterface) {
    IDirectDraw* directDraw = nullptr;
    ASSERT_EQ(Create(nullptr, &directDraw, nullptr), DD_OK);
    ASSERT_NE(directDraw, nullptr);
    EXPECT_EQ(ReferenceCount(directDraw), 1u);
    {
        SCOPED_TRACE("an aggregating outer object is refused");
        IDirectDraw* aggregated = nullptr;
        EXPECT_EQ(Create(nullptr, &aggregated, directDraw), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(aggregated, nullptr);
    }
    IDirectDraw4* directDraw4 = nullptr;
    ASSERT_EQ(directDraw->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&directDraw4)),
              DD_OK);
    {
        SCOPED_TRACE("each interface counts its own references");
        EXPECT_EQ(ReferenceCount(directDraw), 1u);
        EXPECT_EQ(ReferenceCount(directDraw4), 1u);
    }
    {
        SCOPED_TRACE("IDirectDraw from IDirectDraw4 is the first interface again");
        IDirectDraw* first = nullptr;
        ASSERT_EQ(directDraw4->QueryInterface(IID_IDirectDraw, reinterpret_cast<void**>(&first)),
                  DD_OK);
        EXPECT_EQ(first, directDraw);
        EXPECT_EQ(first->Release(), 1u);
    }
    {
        SCOPED_TRACE("IUnknown is the same object from either interface");
        IUnknown* fromFirst = nullptr;
        IUnknown* fromFourth = nullptr;
        ASSERT_EQ(directDraw->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromFirst)),
                  DD_OK);
        ASSERT_EQ(directDraw4->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromFourth)),
                  DD_OK);
        EXPECT_EQ(fromFirst, fromFourth);
        fromFirst->Release();
        fromFourth->Release();
    }
    {
        SCOPED_TRACE("an unknown interface");
        void* unknown = &unknown;
        EXPECT_EQ(directDraw->QueryInterface(UnknownIid, &unknown), E_NOINTERFACE);
        EXPECT_EQ(unknown, nullptr);
        unknown = &unknown;
        EXPECT_EQ(directDraw4->QueryInterface(UnknownIid, &unknown), E_NOINTERFACE);
        EXPECT_EQ(unknown, nullptr);
    }
    {
        SCOPED_TRACE("the object lives on through IDirectDraw4 alone");
        EXPECT_EQ(directDraw->Release(), 0u);
        DDSURFACEDESC2 mode = EmptyDescription();
        EXPECT_EQ(directDraw4->GetDisplayMode(&mode), DD_OK);
        EXPECT_EQ(directDraw4->Release(), 0u);
    }
}

TEST_F(DirectDrawTest, SetCooperativeLevel) {
    IDirectDraw4* directDraw = NewDirectDraw4();
    ASSERT_NE(directDraw, nullptr);
    const struct {
        const char* label;
        bool withWindow;
        DWORD flags;
        HRESULT expected;
    } cases[] = {
        {"no level at all", true, 0, DDERR_INVALIDPARAMS},
        {"exclusive without full screen", true, DDSCL_EXCLUSIVE, DDERR_INVALIDPARAMS},
        {"full screen without exclusive", true, DDSCL_FULLSCREEN, DDERR_INVALIDPARAMS},
        {"exclusive without a window", false, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN,
         DDERR_INVALIDPARAMS},
        {"normal and exclusive without full screen", true, DDSCL_NORMAL | DDSCL_EXCLUSIVE,
         DDERR_INVALIDPARAMS},
        {"normal", true, DDSCL_NORMAL, DD_OK},
        {"normal without a window", false, DDSCL_NORMAL, DD_OK},
        {"exclusive full screen", true, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN, DD_OK},
        {"back to normal", true, DDSCL_NORMAL, DD_OK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(directDraw->SetCooperativeLevel(c.withWindow ? Window : nullptr, c.flags),
                  c.expected);
    }
    EXPECT_EQ(directDraw->Release(), 0u);
}

TEST_F(DirectDrawTest, CreateSurfaceNeedsACooperativeLevel) {
    IDirectDraw4* directDraw = NewDirectDraw4();
    ASSERT_NE(directDraw, nullptr);
    DDSURFACEDESC2 desc = OffscreenDescription(8, 4);
    IDirectDrawSurface4* surface = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DDERR_NOCOOPERATIVELEVELSET);
    EXPECT_EQ(surface, nullptr);
    EXPECT_EQ(directDraw->Release(), 0u);
}

TEST_F(DirectDrawTest, GetDisplayModeDescribesTheDesktop) {
    {
        SCOPED_TRACE("dwSize 0");
        DDSURFACEDESC2 mode = EmptyDescription();
        mode.dwSize = 0;
        EXPECT_EQ(DirectDraw->GetDisplayMode(&mode), DDERR_INVALIDPARAMS);
    }
    {
        SCOPED_TRACE("no description");
        EXPECT_EQ(DirectDraw->GetDisplayMode(nullptr), DDERR_INVALIDPARAMS);
    }
    DDSURFACEDESC2 mode = EmptyDescription();
    ASSERT_EQ(DirectDraw->GetDisplayMode(&mode), DD_OK);
    const DWORD fields =
        DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
    EXPECT_EQ(mode.dwFlags & fields, fields);
    EXPECT_EQ(mode.dwWidth, static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(mode.dwHeight, static_cast<DWORD>(GetSystemMetrics(SM_CYSCREEN)));
    const DDPIXELFORMAT& format = mode.ddpfPixelFormat;
    EXPECT_EQ(format.dwSize, sizeof(DDPIXELFORMAT));
    EXPECT_EQ(mode.lPitch, static_cast<LONG>(mode.dwWidth * (format.dwRGBBitCount / 8)));
    HDC dc = GetDC(nullptr);
    const int desktopBits = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(format.dwRGBBitCount, static_cast<DWORD>(desktopBits == 15 ? 16 : desktopBits));
    if (format.dwRGBBitCount == 32 || format.dwRGBBitCount == 24) {
        EXPECT_EQ(format.dwFlags, static_cast<DWORD>(DDPF_RGB));
        EXPECT_EQ(format.dwRBitMask, 0xFF0000u);
        EXPECT_EQ(format.dwGBitMask, 0x00FF00u);
        EXPECT_EQ(format.dwBBitMask, 0x0000FFu);
    }
}

TEST_F(DirectDrawTest, SetDisplayModeRefusals) {
    DDSURFACEDESC2 before = EmptyDescription();
    ASSERT_EQ(DirectDraw->GetDisplayMode(&before), DD_OK);
    {
        SCOPED_TRACE("a size no display offers");
        EXPECT_EQ(DirectDraw->SetDisplayMode(321, 203, 32, 0, 0), DDERR_UNSUPPORTED);
    }
    {
        SCOPED_TRACE("a zero size succeeds and changes nothing");
        EXPECT_EQ(DirectDraw->SetDisplayMode(0, 200, 32, 0, 0), DD_OK);
    }
    DDSURFACEDESC2 after = EmptyDescription();
    ASSERT_EQ(DirectDraw->GetDisplayMode(&after), DD_OK);
    EXPECT_EQ(after.dwWidth, before.dwWidth);
    EXPECT_EQ(after.dwHeight, before.dwHeight);
    EXPECT_EQ(after.ddpfPixelFormat.dwRGBBitCount, before.ddpfPixelFormat.dwRGBBitCount);
}

TEST_F(DirectDrawTest, CreateSurfaceRefusals) {
    struct Case {
        const char* label;
        DDSURFACEDESC2 desc;
        HRESULT expected;
    };
    DDSURFACEDESC2 noSize = OffscreenDescription(8, 4);
    noSize.dwSize = 0;
    DDSURFACEDESC2 noWidth = OffscreenDescription(8, 4);
    noWidth.dwFlags &= ~static_cast<DWORD>(DDSD_WIDTH);
    DDSURFACEDESC2 flipWithoutComplex = FlipChainDescription(1);
    flipWithoutComplex.ddsCaps.dwCaps &= ~static_cast<DWORD>(DDSCAPS_COMPLEX);
    const Case cases[] = {
        {"dwSize 0", noSize, DDERR_INVALIDPARAMS},
        {"an off-screen surface without a width", noWidth, DDERR_INVALIDPARAMS},
        {"an off-screen surface of width 0", OffscreenDescription(0, 4), DDERR_INVALIDPARAMS},
        {"a flip chain in normal mode", FlipChainDescription(1), DDERR_NOEXCLUSIVEMODE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        DDSURFACEDESC2 desc = c.desc;
        IDirectDrawSurface4* surface = nullptr;
        EXPECT_EQ(DirectDraw->CreateSurface(&desc, &surface, nullptr), c.expected);
        EXPECT_EQ(surface, nullptr);
    }
    {
        SCOPED_TRACE("no description, no out pointer");
        DDSURFACEDESC2 desc = OffscreenDescription(8, 4);
        IDirectDrawSurface4* surface = nullptr;
        EXPECT_EQ(DirectDraw->CreateSurface(nullptr, &surface, nullptr), DDERR_INVALIDPARAMS);
        EXPECT_EQ(DirectDraw->CreateSurface(&desc, nullptr, nullptr), DDERR_INVALIDPARAMS);
    }
}

TEST_F(DirectDrawTest, SurfacesHoldTheirDirectDraw) {
    EXPECT_EQ(ReferenceCount(DirectDraw), 1u);
    IDirectDrawSurface4* primary = CreateSurface(PrimaryDescription());
    IDirectDrawSurface4* offscreen = CreateSurface(OffscreenDescription(8, 4));
    ASSERT_NE(primary, nullptr);
    ASSERT_NE(offscreen, nullptr);
    EXPECT_EQ(ReferenceCount(DirectDraw), 3u);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(DirectDraw->CreateClipper(0, &clipper, nullptr), DD_OK);
    {
        SCOPED_TRACE("a clipper holds none");
        EXPECT_EQ(ReferenceCount(DirectDraw), 3u);
    }
    EXPECT_EQ(clipper->Release(), 0u);
    EXPECT_EQ(offscreen->Release(), 0u);
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(ReferenceCount(DirectDraw), 1u);
}

} // namespace
