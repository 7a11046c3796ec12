// Exclusive full-screen mode: display modes, the flip chain and Flip.
#include "DirectDrawTesting.h"

#include <cstring>

namespace {

class DirectDrawFullScreenTest : public DirectDrawTest {
  protected:
    void SetUp() override {
        DirectDrawTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_EQ(DirectDraw->SetCooperativeLevel(Window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
                  DD_OK);
        const HRESULT set = DirectDraw->SetDisplayMode(320, 200, 32, 0, 0);
        if (set != DD_OK && RunningOnWine())
            GTEST_SKIP() << "Wine changes display modes only inside a virtual desktop "
                            "(wine explorer /desktop=NAME,1024x768 PROGRAM)";
        ASSERT_EQ(set, DD_OK);
    }

    DDSURFACEDESC2 Mode(IDirectDraw4* directDraw) {
        DDSURFACEDESC2 mode = EmptyDescription();
        EXPECT_EQ(directDraw->GetDisplayMode(&mode), DD_OK);
        return mode;
    }

    IDirectDrawSurface4* BackBufferOf(IDirectDrawSurface4* front) {
        DDSCAPS2 caps;
        std::memset(&caps, 0, sizeof caps);
        caps.dwCaps = DDSCAPS_BACKBUFFER;
        IDirectDrawSurface4* back = nullptr;
        EXPECT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);
        return back;
    }

    // The first pixel's bytes, read through Lock.
    std::vector<uint8_t> FirstPixel(IDirectDrawSurface4* surface) {
        const std::vector<uint8_t> pixels = ReadPixels(surface);
        return std::vector<uint8_t>(pixels.begin(), pixels.begin() + 4);
    }

    void FillFirstPixel(IDirectDrawSurface4* surface, uint8_t value) {
        std::vector<uint8_t> pixels = ReadPixels(surface);
        std::memset(pixels.data(), value, 4);
        WritePixels(surface, pixels);
    }
};

TEST_F(DirectDrawFullScreenTest, DisplayModes) {
    {
        SCOPED_TRACE("32 bits");
        const DDSURFACEDESC2 mode = Mode(DirectDraw);
        EXPECT_EQ(mode.dwWidth, 320u);
        EXPECT_EQ(mode.dwHeight, 200u);
        EXPECT_EQ(mode.lPitch, 1280);
        EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 32u);
        EXPECT_EQ(mode.ddpfPixelFormat.dwRBitMask, 0xFF0000u);
        EXPECT_EQ(mode.ddpfPixelFormat.dwGBitMask, 0x00FF00u);
        EXPECT_EQ(mode.ddpfPixelFormat.dwBBitMask, 0x0000FFu);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 320);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 200);
    }
    {
        SCOPED_TRACE("16 bits, 5-6-5");
        ASSERT_EQ(DirectDraw->SetDisplayMode(320, 200, 16, 0, 0), DD_OK);
        const DDSURFACEDESC2 mode = Mode(DirectDraw);
        EXPECT_EQ(mode.lPitch, 640);
        EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 16u);
        EXPECT_EQ(mode.ddpfPixelFormat.dwRBitMask, 0xF800u);
        EXPECT_EQ(mode.ddpfPixelFormat.dwGBitMask, 0x07E0u);
        EXPECT_EQ(mode.ddpfPixelFormat.dwBBitMask, 0x001Fu);
    }
    {
        SCOPED_TRACE("RestoreDisplayMode gives the desktop back");
        ASSERT_EQ(DirectDraw->RestoreDisplayMode(), DD_OK);
        const DDSURFACEDESC2 mode = Mode(DirectDraw);
        EXPECT_NE(mode.dwWidth, 320u);
        EXPECT_EQ(mode.dwWidth, static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN)));
    }
}

TEST_F(DirectDrawFullScreenTest, OnlyTheExclusiveObjectChangesTheMode) {
    IDirectDraw4* other = NewDirectDraw4();
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(other->SetCooperativeLevel(Window, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(other->SetDisplayMode(640, 480, 32, 0, 0), DDERR_NOEXCLUSIVEMODE);
    EXPECT_EQ(other->Release(), 0u);
    {
        SCOPED_TRACE("leaving exclusive mode restores the desktop's mode");
        ASSERT_EQ(DirectDraw->SetCooperativeLevel(Window, DDSCL_NORMAL), DD_OK);
        EXPECT_NE(Mode(DirectDraw).dwWidth, 320u);
    }
}

TEST_F(DirectDrawFullScreenTest, ReleasingTheObjectRestoresTheMode) {
    ASSERT_EQ(Mode(DirectDraw).dwWidth, 320u);
    EXPECT_EQ(DirectDraw->Release(), 0u);
    DirectDraw = NewDirectDraw4();
    ASSERT_NE(DirectDraw, nullptr);
    EXPECT_NE(Mode(DirectDraw).dwWidth, 320u);
}

TEST_F(DirectDrawFullScreenTest, FlipChainCapsChecks) {
    DDSURFACEDESC2 withoutComplex = FlipChainDescription(1);
    withoutComplex.ddsCaps.dwCaps &= ~static_cast<DWORD>(DDSCAPS_COMPLEX);
    DDSURFACEDESC2 withoutFlip = FlipChainDescription(1);
    withoutFlip.ddsCaps.dwCaps &= ~static_cast<DWORD>(DDSCAPS_FLIP);
    DDSURFACEDESC2 withoutCount = FlipChainDescription(1);
    withoutCount.dwFlags &= ~static_cast<DWORD>(DDSD_BACKBUFFERCOUNT);
    const struct {
        const char* label;
        DDSURFACEDESC2 desc;
    } cases[] = {
        {"DDSCAPS_FLIP without DDSCAPS_COMPLEX", withoutComplex},
        {"DDSCAPS_COMPLEX without DDSCAPS_FLIP", withoutFlip},
        {"no back buffer count", withoutCount},
        {"zero back buffers", FlipChainDescription(0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        DDSURFACEDESC2 desc = c.desc;
        IDirectDrawSurface4* surface = nullptr;
        EXPECT_EQ(DirectDraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDCAPS);
        EXPECT_EQ(surface, nullptr);
    }
}

TEST_F(DirectDrawFullScreenTest, FlipChain) {
    IDirectDrawSurface4* front = CreateSurface(FlipChainDescription(1));
    ASSERT_NE(front, nullptr);
    {
        SCOPED_TRACE("the chain holds one reference on the DirectDraw object");
        EXPECT_EQ(ReferenceCount(DirectDraw), 2u);
    }
    DDSURFACEDESC2 desc = EmptyDescription();
    ASSERT_EQ(front->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 320u);
    EXPECT_EQ(desc.dwHeight, 200u);
    EXPECT_NE(desc.dwFlags & DDSD_BACKBUFFERCOUNT, 0u);
    EXPECT_EQ(desc.dwBackBufferCount, 1u);
    const DWORD frontCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | DDSCAPS_FLIP |
                            DDSCAPS_COMPLEX | DDSCAPS_VISIBLE | DDSCAPS_VIDEOMEMORY;
    EXPECT_EQ(desc.ddsCaps.dwCaps & frontCaps, frontCaps);

    IDirectDrawSurface4* back = BackBufferOf(front);
    ASSERT_NE(back, nullptr);
    {
        SCOPED_TRACE("the back buffer: one reference for its front buffer, one for us");
        EXPECT_EQ(ReferenceCount(back), 2u);
        EXPECT_EQ(ReferenceCount(front), 1u);
        DDSURFACEDESC2 backDesc = EmptyDescription();
        ASSERT_EQ(back->GetSurfaceDesc(&backDesc), DD_OK);
        EXPECT_EQ(backDesc.dwWidth, 320u);
        EXPECT_EQ(backDesc.dwBackBufferCount, 0u);
        EXPECT_NE(backDesc.ddsCaps.dwCaps & DDSCAPS_BACKBUFFER, 0u);
        EXPECT_EQ(backDesc.ddsCaps.dwCaps & (DDSCAPS_FRONTBUFFER | DDSCAPS_PRIMARYSURFACE), 0u);
    }
    {
        SCOPED_TRACE("the chain closes: the back buffer has the front buffer attached");
        DDSCAPS2 caps;
        std::memset(&caps, 0, sizeof caps);
        caps.dwCaps = DDSCAPS_FRONTBUFFER;
        IDirectDrawSurface4* again = nullptr;
        ASSERT_EQ(back->GetAttachedSurface(&caps, &again), DD_OK);
        EXPECT_EQ(again, front);
        EXPECT_EQ(again->Release(), 1u);
        caps.dwCaps = DDSCAPS_BACKBUFFER;
        EXPECT_EQ(back->GetAttachedSurface(&caps, &again), DDERR_NOTFOUND);
        EXPECT_EQ(again, nullptr);
    }
    {
        SCOPED_TRACE("Flip swaps the buffers' memory");
        FillFirstPixel(front, 0x11);
        FillFirstPixel(back, 0x22);
        ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
        EXPECT_EQ(FirstPixel(front), std::vector<uint8_t>(4, 0x22));
        EXPECT_EQ(FirstPixel(back), std::vector<uint8_t>(4, 0x11));
        ASSERT_EQ(front->Flip(back, DDFLIP_WAIT), DD_OK);
        EXPECT_EQ(FirstPixel(front), std::vector<uint8_t>(4, 0x11));
        EXPECT_EQ(FirstPixel(back), std::vector<uint8_t>(4, 0x22));
    }
    {
        SCOPED_TRACE("only the front buffer flips, and only to its own chain");
        EXPECT_EQ(back->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
        IDirectDrawSurface4* offscreen = CreateSurface(OffscreenDescription(4, 4));
        ASSERT_NE(offscreen, nullptr);
        EXPECT_EQ(offscreen->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
        EXPECT_EQ(front->Flip(offscreen, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
        EXPECT_EQ(offscreen->Release(), 0u);
    }
    {
        SCOPED_TRACE("a back buffer released to its front buffer's reference stays");
        EXPECT_EQ(back->Release(), 1u);
        EXPECT_EQ(ReferenceCount(back), 1u);
    }
    EXPECT_EQ(front->Release(), 0u);
    EXPECT_EQ(ReferenceCount(DirectDraw), 1u);
}

} // namespace
