// Surfaces in normal mode: descriptions, locking, attachments, clippers.
#include "DirectDrawTesting.h"

#include <cstring>

namespace {

const GUID UnknownIid = {
    0x1F2E3D4C, 0x5B6A, 0x7988, {0x97, 0xA6, 0xB5, 0xC4, 0xD3, 0xE2, 0xF1, 0x01}};

DDPIXELFORMAT DisplayFormat(IDirectDraw4* directDraw) {
    DDSURFACEDESC2 mode = EmptyDescription();
    EXPECT_EQ(directDraw->GetDisplayMode(&mode), DD_OK);
    return mode.ddpfPixelFormat;
}

void ExpectSameFormat(const DDPIXELFORMAT& actual, const DDPIXELFORMAT& expected) {
    EXPECT_EQ(actual.dwFlags, expected.dwFlags);
    EXPECT_EQ(actual.dwRGBBitCount, expected.dwRGBBitCount);
    EXPECT_EQ(actual.dwRBitMask, expected.dwRBitMask);
    EXPECT_EQ(actual.dwGBitMask, expected.dwGBitMask);
    EXPECT_EQ(actual.dwBBitMask, expected.dwBBitMask);
}

// GetPixelFormat gives the display's format, and refuses to go without a record.
DDPIXELFORMAT ExpectDisplaysPixelFormat(IDirectDraw4* directDraw, IDirectDrawSurface4* surface) {
    DDPIXELFORMAT format;
    std::memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    EXPECT_EQ(surface->GetPixelFormat(&format), DD_OK);
    ExpectSameFormat(format, DisplayFormat(directDraw));
    EXPECT_EQ(surface->GetPixelFormat(nullptr), DDERR_INVALIDPARAMS);
    return format;
}

TEST_F(DirectDrawTest, PrimarySurfaceCoversTheScreen) {
    IDirectDrawSurface4* primary = CreateSurface(PrimaryDescription());
    ASSERT_NE(primary, nullptr);
    DDSURFACEDESC2 desc = EmptyDescription();
    ASSERT_EQ(primary->GetSurfaceDesc(&desc), DD_OK);
    const DWORD fields = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    EXPECT_EQ(desc.dwFlags & fields, fields);
    EXPECT_EQ(desc.dwWidth, static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(desc.dwHeight, static_cast<DWORD>(GetSystemMetrics(SM_CYSCREEN)));
    const DWORD shown = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VISIBLE;
    EXPECT_EQ(desc.ddsCaps.dwCaps & shown, shown);
    ExpectSameFormat(desc.ddpfPixelFormat, DisplayFormat(DirectDraw));
    EXPECT_GE(desc.lPitch, static_cast<LONG>(desc.dwWidth * BytesPerPixelOf(primary)));
    {
        // What a windowed program reads to tell a 5-5-5 desktop from a 5-6-5 one, both of
        // which GDI reports as 16 bits.
        SCOPED_TRACE("GetPixelFormat: the display's format");
        EXPECT_NE(ExpectDisplaysPixelFormat(DirectDraw, primary).dwFlags & DDPF_RGB, 0u);
    }
    {
        SCOPED_TRACE("not a flip chain");
        EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
        DDSCAPS2 caps;
        std::memset(&caps, 0, sizeof caps);
        caps.dwCaps = DDSCAPS_BACKBUFFER;
        IDirectDrawSurface4* back = primary;
        EXPECT_EQ(primary->GetAttachedSurface(&caps, &back), DDERR_NOTFOUND);
        EXPECT_EQ(back, nullptr);
    }
    EXPECT_EQ(primary->Release(), 0u);
}

TEST_F(DirectDrawTest, OffscreenSurfaceDescription) {
    IDirectDrawSurface4* surface = CreateSurface(OffscreenDescription(8, 4));
    ASSERT_NE(surface, nullptr);
    {
        SCOPED_TRACE("dwSize 0");
        DDSURFACEDESC2 desc = EmptyDescription();
        desc.dwSize = 0;
        EXPECT_EQ(surface->GetSurfaceDesc(&desc), DDERR_INVALIDPARAMS);
    }
    DDSURFACEDESC2 desc = EmptyDescription();
    ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 8u);
    EXPECT_EQ(desc.dwHeight, 4u);
    EXPECT_NE(desc.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN, 0u);
    EXPECT_EQ(desc.ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE, 0u);
    EXPECT_GE(desc.lPitch, static_cast<LONG>(8 * BytesPerPixelOf(surface)));
    {
        SCOPED_TRACE("the display's pixel format");
        ExpectSameFormat(desc.ddpfPixelFormat, ExpectDisplaysPixelFormat(DirectDraw, surface));
    }
    {
        SCOPED_TRACE("QueryInterface");
        void* same = nullptr;
        ASSERT_EQ(surface->QueryInterface(IID_IDirectDrawSurface4, &same), DD_OK);
        EXPECT_EQ(same, surface);
        EXPECT_EQ(surface->Release(), 1u);
    }
    EXPECT_EQ(surface->Release(), 0u);
}

TEST_F(DirectDrawTest, LockAndUnlock) {
    IDirectDrawSurface4* surface = CreateSurface(OffscreenDescription(8, 4));
    IDirectDrawSurface4* other = CreateSurface(OffscreenDescription(8, 4));
    ASSERT_NE(surface, nullptr);
    ASSERT_NE(other, nullptr);
    {
        SCOPED_TRACE("dwSize 0");
        DDSURFACEDESC2 desc = EmptyDescription();
        desc.dwSize = 0;
        EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
    }
    {
        SCOPED_TRACE("no description");
        EXPECT_EQ(surface->Lock(nullptr, nullptr, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
    }
    {
        SCOPED_TRACE("unlocking a surface that is not locked");
        EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
    }
    DDSURFACEDESC2 desc = EmptyDescription();
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_NE(desc.lpSurface, nullptr);
    EXPECT_EQ(desc.dwWidth, 8u);
    EXPECT_EQ(desc.dwHeight, 4u);
    EXPECT_GE(desc.lPitch, static_cast<LONG>(8 * BytesPerPixelOf(surface)));
    {
        SCOPED_TRACE("locking a locked surface");
        DDSURFACEDESC2 again = EmptyDescription();
        EXPECT_EQ(surface->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
        RECT part = {0, 0, 2, 2};
        EXPECT_EQ(surface->Lock(&part, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    }
    {
        SCOPED_TRACE("blitting from or to a locked surface");
        EXPECT_EQ(other->Blt(nullptr, surface, nullptr, 0, nullptr), DDERR_SURFACEBUSY);
        EXPECT_EQ(surface->Blt(nullptr, other, nullptr, 0, nullptr), DDERR_SURFACEBUSY);
    }
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
    EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
    {
        SCOPED_TRACE("what was written under the lock stays");
        const DWORD bytes = BytesPerPixelOf(surface);
        const std::vector<uint8_t> pattern = PatternPixels(8, 4, bytes, 3);
        WritePixels(surface, pattern);
        EXPECT_EQ(ReadPixels(surface), pattern);
    }
    EXPECT_EQ(other->Release(), 0u);
    EXPECT_EQ(surface->Release(), 0u);
}

TEST_F(DirectDrawTest, Clipper) {
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(DirectDraw->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_NE(clipper, nullptr);
    {
        SCOPED_TRACE("a new clipper has no window");
        HWND window = Window;
        EXPECT_EQ(clipper->GetHWnd(&window), DD_OK);
        EXPECT_EQ(window, nullptr);
    }
    {
        SCOPED_TRACE("SetHWnd takes no flags");
        EXPECT_EQ(clipper->SetHWnd(1, Window), DDERR_INVALIDPARAMS);
    }
    ASSERT_EQ(clipper->SetHWnd(0, Window), DD_OK);
    HWND window = nullptr;
    EXPECT_EQ(clipper->GetHWnd(&window), DD_OK);
    EXPECT_EQ(window, Window);
    {
        SCOPED_TRACE("QueryInterface");
        void* same = nullptr;
        ASSERT_EQ(clipper->QueryInterface(IID_IDirectDrawClipper, &same), DD_OK);
        EXPECT_EQ(same, clipper);
        EXPECT_EQ(clipper->Release(), 1u);
        void* unknown = &unknown;
        EXPECT_EQ(clipper->QueryInterface(UnknownIid, &unknown), E_NOINTERFACE);
        EXPECT_EQ(unknown, nullptr);
    }

    IDirectDrawSurface4* primary = CreateSurface(PrimaryDescription());
    ASSERT_NE(primary, nullptr);
    {
        SCOPED_TRACE("no clipper set yet");
        IDirectDrawClipper* none = clipper;
        EXPECT_EQ(primary->GetClipper(&none), DDERR_NOCLIPPERATTACHED);
        EXPECT_EQ(none, nullptr);
    }
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    {
        SCOPED_TRACE("the surface holds its own reference");
        EXPECT_EQ(ReferenceCount(clipper), 2u);
        IDirectDrawClipper* got = nullptr;
        ASSERT_EQ(primary->GetClipper(&got), DD_OK);
        EXPECT_EQ(got, clipper);
        EXPECT_EQ(got->Release(), 2u);
    }
    {
        SCOPED_TRACE("the library's reference released, the surface keeps the clipper");
        EXPECT_EQ(clipper->Release(), 1u);
        IDirectDrawClipper* got = nullptr;
        ASSERT_EQ(primary->GetClipper(&got), DD_OK);
        EXPECT_EQ(got, clipper);
        HWND still = nullptr;
        EXPECT_EQ(got->GetHWnd(&still), DD_OK);
        EXPECT_EQ(still, Window);
        EXPECT_EQ(got->Release(), 1u);
    }
    {
        SCOPED_TRACE("removing the clipper releases it");
        ASSERT_EQ(clipper->AddRef(), 2u);
        ASSERT_EQ(primary->SetClipper(nullptr), DD_OK);
        EXPECT_EQ(ReferenceCount(clipper), 1u);
    }
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    EXPECT_EQ(clipper->Release(), 1u);
    {
        SCOPED_TRACE("the surface's end releases its clipper");
        EXPECT_EQ(primary->Release(), 0u);
    }
}

TEST(DirectDrawLibrary, DirectDrawCreateClipper) {
    HMODULE library = LoadLibraryA("DDraw.dll");
    ASSERT_NE(library, nullptr);
    typedef HRESULT(WINAPI * CreateClipperFunction)(DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*);
    auto create = reinterpret_cast<CreateClipperFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "DirectDrawCreateClipper")));
    ASSERT_NE(create, nullptr);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(create(0, &clipper, nullptr), DD_OK);
    ASSERT_NE(clipper, nullptr);
    EXPECT_EQ(clipper->Release(), 0u);
    EXPECT_TRUE(FreeLibrary(library));
}

} // namespace
