// PresentFrame on the stand-in's DirectDraw: conversion into the surface, Flip or Blt,
// what the screen shows, and the failure boxes.
#include "StandInVideo.h"

#include "Termination.h"
#include "VideoOutput.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct LockedSurface {
    DDSURFACEDESC2 desc;
    std::vector<uint8_t> bytes; // lPitch x dwHeight
};

// Reads the whole surface through its own Lock, outside the program's calls.
LockedSurface ReadSurface(IDirectDrawSurface4* surface) {
    LockedSurface locked;
    std::memset(&locked.desc, 0, sizeof locked.desc);
    locked.desc.dwSize = sizeof locked.desc;
    EXPECT_EQ(surface->Lock(nullptr, &locked.desc, DDLOCK_WAIT, nullptr), DD_OK);
    const auto* start = static_cast<const uint8_t*>(locked.desc.lpSurface);
    locked.bytes.assign(start, start + locked.desc.lPitch * locked.desc.dwHeight);
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
    return locked;
}

void FillSurface(IDirectDrawSurface4* surface, uint8_t value) {
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    std::memset(desc.lpSurface, value, desc.lPitch * desc.dwHeight);
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
}

void OpenDepth(const Depth& depth) {
    OpenDisplayAtDepth(depth);
    ASSERT_EQ(DisplayBpp, depth.bitsPerPixel);
}

TEST(Presentation, ScreenShowsExactlyTheConvertedFrame) {
    const std::vector<uint32_t> frame = TestFrame();
    for (const Depth& depth : Depths()) {
        SCOPED_TRACE(depth.label);
        OpenDepth(depth);
        PresentFrame(frame.data());
        const RECT area = depth.fullScreen ? RECT{0, 0, FrameWidth, FrameHeight} : DestRect;
        EXPECT_EQ(ScreenAt(area.left, area.top, area.right, area.bottom),
                  ShownFrame(frame, depth.bitsPerPixel, FrameWidth, FrameHeight));
    }
}

TEST(Presentation, FlipsInFullScreenWithoutReadingTheRectangles) {
    const std::vector<uint32_t> frame = TestFrame();
    StartStandIn(FullScreenDisplay({32}));
    InitDisplay(FrameWidth, FrameHeight, true);
    SourceRect = {-7, -7, 9999, 9999}; // would be refused by any Blt
    DestRect = {5000, 5000, -5, -5};
    StandInClearCallLog();

    PresentFrame(frame.data());
    EXPECT_EQ(StandInCallLog(), (std::vector<std::string>{
                                    "IDirectDrawSurface4::Lock(NULL, ptr, 1, NULL)",
                                    "IDirectDrawSurface4::Unlock(NULL)",
                                    "IDirectDrawSurface4::Flip(NULL, 1)",
                                }));
    EXPECT_EQ(ScreenAt(0, 0, FrameWidth, FrameHeight), ShownFrame(frame, 32, 320, 200));
}

// RowPadding comes from the locked surface's pitch; the bytes after each row stay as
// they were.
TEST(Presentation, RowPaddingFollowsThePitch) {
    struct Case {
        const char* label;
        int desktopBits;
        int pitchPadding;
        int32_t rowPadding;
    };
    const Case cases[] = {
        {"16 bits, pitch 768", 16, 128, 128},
        {"24 bits, pitch 960", 24, 0, 0},
        {"24 bits, pitch 1024", 24, 64, 64},
        {"32 bits, pitch 1296", 32, 16, 16},
    };
    const std::vector<uint32_t> frame = TestFrame();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        StandInDisplay display = DesktopDisplay(c.desktopBits);
        display.surfacePitchPadding = c.pitchPadding;
        StartStandIn(display);
        InitDisplay(FrameWidth, FrameHeight, false);
        FillSurface(BackSurface, 0xCD);

        PresentFrame(frame.data());
        EXPECT_EQ(RowPadding, c.rowPadding);
        const LockedSurface surface = ReadSurface(BackSurface);
        const int bytesPerPixel = (c.desktopBits + 1) / 8;
        ASSERT_EQ(surface.desc.lPitch, FrameWidth * bytesPerPixel + c.pitchPadding);
        int touched = 0;
        for (int y = 0; y < FrameHeight; ++y)
            for (int i = FrameWidth * bytesPerPixel; i < surface.desc.lPitch; ++i)
                touched += surface.bytes[y * surface.desc.lPitch + i] != 0xCD;
        EXPECT_EQ(touched, 0);
        EXPECT_EQ(ScreenAt(DestRect.left, DestRect.top, DestRect.right, DestRect.bottom),
                  ShownFrame(frame, c.desktopBits, FrameWidth, FrameHeight));
    }
}

// A depth without a conversion (display setup admits none, so DisplayBpp is set by hand)
// locks and unlocks, writes nothing, and still shows the surface as it was.
TEST(Presentation, UnsupportedDepthLeavesTheSurfaceAndStillShowsIt) {
    const std::vector<uint32_t> frame = TestFrame();
    for (const uint8_t bits : {uint8_t(8), uint8_t(0), uint8_t(31)}) {
        SCOPED_TRACE("full screen, DisplayBpp " + std::to_string(bits));
        StartStandIn(FullScreenDisplay({32}));
        InitDisplay(FrameWidth, FrameHeight, true);
        FillSurface(BackSurface, 0x5A);
        DisplayBpp = bits;
        StandInClearCallLog();

        PresentFrame(frame.data());
        EXPECT_EQ(CallsNamed(StandInCallLog(), "IDirectDrawSurface4::Flip").size(), 1u);
        EXPECT_EQ(ScreenAt(0, 0, FrameWidth, FrameHeight),
                  std::vector<uint8_t>(FramePixels * 4, 0x5A));
    }
}

// A client area larger than the frame gets the frame unscaled at its top-left: both
// rectangles are cut by what reaches past the surface. Smaller areas pass unchanged.
TEST(Presentation, BlitIsClippedToTheSurface) {
    struct Case {
        const char* label;
        RECT source;
        RECT dest;
        std::string blt;
    };
    const Case cases[] = {
        {"taller and wider",
         {0, 0, 330, 210},
         {100, 100, 430, 310},
         "IDirectDrawSurface4::Blt({100, 100, 420, 300}, ptr, {0, 0, 320, 200}, 0, NULL)"},
        {"taller only",
         {0, 0, 320, 204},
         {356, 303, 676, 507},
         "IDirectDrawSurface4::Blt({356, 303, 676, 503}, ptr, {0, 0, 320, 200}, 0, NULL)"},
        {"exactly the frame",
         {0, 0, 320, 200},
         {356, 307, 676, 507},
         "IDirectDrawSurface4::Blt({356, 307, 676, 507}, ptr, {0, 0, 320, 200}, 0, NULL)"},
        {"shorter",
         {0, 0, 320, 194},
         {356, 313, 676, 507},
         "IDirectDrawSurface4::Blt({356, 313, 676, 507}, ptr, {0, 0, 320, 194}, 0, NULL)"},
    };
    const std::vector<uint32_t> frame = TestFrame();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        StartStandIn(DesktopDisplay(32));
        InitDisplay(FrameWidth, FrameHeight, false);
        SourceRect = c.source;
        DestRect = c.dest;
        StandInClearCallLog();

        PresentFrame(frame.data());
        EXPECT_EQ(CallsNamed(StandInCallLog(), "IDirectDrawSurface4::Blt"),
                  std::vector<std::string>{c.blt});
        EXPECT_EQ(StandInMessageBoxes().size(), 0u);
        EXPECT_EQ(SourceRect.bottom, c.source.bottom); // the window's own rectangles stay
        EXPECT_EQ(DestRect.bottom, c.dest.bottom);
    }
}

// A caption lower than a menu bar gives a client area 4 rows taller than the frame: the
// whole frame shows at its top and the rows below keep the desktop.
TEST(Presentation, LargerClientAreaShowsTheWholeFrameAtItsTopLeft) {
    StandInDisplay display = DesktopDisplay(32);
    display.captionHeight = 15;
    StartStandIn(display);
    InitDisplay(FrameWidth, FrameHeight, false);
    ASSERT_EQ(SourceRect.bottom, 204);
    const std::vector<uint8_t> below =
        ScreenAt(DestRect.left, DestRect.top + 200, DestRect.right, DestRect.bottom);
    const std::vector<uint32_t> frame = TestFrame();

    PresentFrame(frame.data());
    EXPECT_EQ(ScreenAt(DestRect.left, DestRect.top, DestRect.right, DestRect.top + 200),
              ShownFrame(frame, 32, FrameWidth, FrameHeight));
    EXPECT_EQ(ScreenAt(DestRect.left, DestRect.top + 200, DestRect.right, DestRect.bottom), below);
}

// Each failed call shows its box, owned by the window, and ends with the failure exit code
// at once.
TEST(Presentation, FailedCallsAreReportedAndEndTheProgram) {
    struct Case {
        const char* call;
        bool fullScreen;
        HRESULT result;
        const char* message;
    };
    const Case cases[] = {
        {"IDirectDrawSurface4::Lock", false, DDERR_SURFACELOST, "Lock FAILED"},
        {"IDirectDrawSurface4::Unlock", true, DDERR_NOTLOCKED, "UnLock FAILED"},
        {"IDirectDrawSurface4::Flip", true, DDERR_SURFACELOST, "Flip FAILED"},
        {"IDirectDrawSurface4::Blt", false, DDERR_INVALIDRECT, "Blt FAILED"},
    };
    const std::vector<uint32_t> frame = TestFrame();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        StartStandIn();
        InitDisplay(FrameWidth, FrameHeight, c.fullScreen);
        StandInClearCallLog();
        StandInFailCall(c.call, c.result);

        const StandInDump dump = RunToEnd([&] { PresentFrame(frame.data()); }, FailureExitCode);
        ASSERT_EQ(dump.boxes.size(), 1u);
        EXPECT_EQ(dump.boxes[0].text, c.message);
        EXPECT_TRUE(dump.boxes[0].captionIsNull);
        EXPECT_EQ(dump.boxes[0].type, UINT(MB_OK));
        EXPECT_NE(dump.boxes[0].owner, nullptr);
        ASSERT_GE(dump.callNames.size(), 2u);
        EXPECT_EQ(dump.callNames[dump.callNames.size() - 2], c.call); // nothing in between
        EXPECT_EQ(dump.callNames.back(), "MessageBoxA");
        EXPECT_EQ(dump.console, "");
    }
}

} // namespace
