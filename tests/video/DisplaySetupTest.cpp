// InitDisplay on the stand-in: the depth search, the surfaces of both modes, and every
// failure box with the program's end.
#include "StandInVideo.h"

#include "Termination.h"
#include "VideoOutput.h"

#include <gtest/gtest.h>

namespace {

// The DirectDraw calls of a log, in order, by name.
std::vector<std::string> DirectDrawCalls(const std::vector<std::string>& names) {
    std::vector<std::string> calls;
    for (const std::string& name : names)
        if (name.find("DirectDraw") != std::string::npos)
            calls.push_back(name);
    return calls;
}

TEST(DisplaySetup, FullScreenTakesTheDeepestModeOffered) {
    struct Case {
        const char* label;
        std::vector<int> depths;
        DWORD redMask;
        int bitsPerPixel;
        size_t modesTried;
        bool asksForTheMode;
    };
    const Case cases[] = {
        {"32 accepted", {32, 24, 16}, 0xF800, 32, 1, false},
        {"24 accepted", {24, 16}, 0xF800, 24, 2, false},
        {"only 16, 5-6-5", {16}, 0xF800, 16, 3, true},
        {"only 16, 5-5-5", {16}, 0x7C00, 15, 3, true},
    };
    const char* const modeCalls[] = {
        "IDirectDraw4::SetDisplayMode(320, 200, 32, 0, 0)",
        "IDirectDraw4::SetDisplayMode(320, 200, 24, 0, 0)",
        "IDirectDraw4::SetDisplayMode(320, 200, 16, 0, 0)",
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        StartStandIn(FullScreenDisplay(c.depths, c.redMask));
        InitDisplay(FrameWidth, FrameHeight, true);
        EXPECT_EQ(DisplayBpp, c.bitsPerPixel);
        const std::vector<std::string> log = StandInCallLog();
        EXPECT_EQ(CallsNamed(log, "IDirectDraw4::SetDisplayMode"),
                  std::vector<std::string>(modeCalls, modeCalls + c.modesTried));
        EXPECT_EQ(CallsNamed(log, "IDirectDraw4::GetDisplayMode").size(),
                  c.asksForTheMode ? 1u : 0u);
        EXPECT_EQ(StandInScreenBitsPerPixel(), c.bitsPerPixel == 15 ? 16 : c.bitsPerPixel);
    }
}

TEST(DisplaySetup, FullScreenOpensAFlipChain) {
    StartStandIn();
    InitDisplay(FrameWidth, FrameHeight, true);
    EXPECT_TRUE(FullScreen);
    EXPECT_EQ(OutputWidth, 320u);
    EXPECT_EQ(OutputHeight, 200u);
    EXPECT_EQ(DirectDrawCalls(StandInCallNames()), (std::vector<std::string>{
                                                       "DirectDrawCreate",
                                                       "IDirectDraw::QueryInterface",
                                                       "IDirectDraw4::SetCooperativeLevel",
                                                       "IDirectDraw4::SetDisplayMode",
                                                       "IDirectDraw4::CreateSurface",
                                                       "IDirectDrawSurface4::GetAttachedSurface",
                                                   }));
    const std::vector<std::string> log = StandInCallLog();
    EXPECT_EQ(CallsNamed(log, "IDirectDraw4::SetCooperativeLevel"),
              std::vector<std::string>{"IDirectDraw4::SetCooperativeLevel(ptr, 17)"});
    ASSERT_NE(PrimarySurface, nullptr);
    ASSERT_NE(BackSurface, nullptr);
    EXPECT_NE(PrimarySurface, BackSurface);
    EXPECT_EQ(StandInScreenWidth(), 320);
    EXPECT_EQ(StandInScreenHeight(), 200);
    EXPECT_EQ(WindowClipper, nullptr);
    // One back buffer, and the chain in video memory.
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(PrimarySurface->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwBackBufferCount, 1u);
    const DWORD chainCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    EXPECT_EQ(desc.ddsCaps.dwCaps & (chainCaps | DDSCAPS_SYSTEMMEMORY), chainCaps);
}

// A 16-bit desktop is told apart by the primary surface's red mask, which the other
// depths need not look at.
TEST(DisplaySetup, WindowedTakesTheDesktopDepthAndClipsToTheWindow) {
    struct Case {
        const char* label;
        int bits;
        DWORD redMask16;
        int displayBpp;
    };
    const Case cases[] = {
        {"32-bit desktop", 32, 0xF800, 32},
        {"24-bit desktop", 24, 0xF800, 24},
        {"16-bit desktop, 5-6-5", 16, 0xF800, 16},
        {"16-bit desktop, 5-5-5", 16, 0x7C00, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const int bits = c.bits;
        StartStandIn(DesktopDisplay(bits, c.redMask16));
        InitDisplay(FrameWidth, FrameHeight, false);
        EXPECT_FALSE(FullScreen);
        EXPECT_EQ(DisplayBpp, c.displayBpp);
        EXPECT_EQ(StandInScreenBitsPerPixel(), bits); // the desktop keeps its mode
        std::vector<std::string> calls = {
            "DirectDrawCreate",
            "IDirectDraw::QueryInterface",
            "IDirectDraw4::SetCooperativeLevel",
            "IDirectDraw4::CreateSurface",
            "IDirectDraw4::CreateClipper",
            "IDirectDrawClipper::SetHWnd",
            "IDirectDrawSurface4::SetClipper",
            "IDirectDrawClipper::Release",
            "IDirectDraw4::CreateSurface",
        };
        if (bits == 16)
            calls.insert(calls.begin() + 4, "IDirectDrawSurface4::GetPixelFormat");
        EXPECT_EQ(DirectDrawCalls(StandInCallNames()), calls);
        const std::vector<std::string> log = StandInCallLog();
        EXPECT_EQ(CallsNamed(log, "IDirectDraw4::SetCooperativeLevel"),
                  std::vector<std::string>{"IDirectDraw4::SetCooperativeLevel(ptr, 8)"});
        EXPECT_EQ(CallsNamed(log, "GetDeviceCaps"),
                  std::vector<std::string>{"GetDeviceCaps(ptr, 12)"});

        // Only the primary surface holds the clipper now.
        ASSERT_NE(WindowClipper, nullptr);
        EXPECT_EQ(WindowClipper->AddRef(), 2u);
        EXPECT_EQ(WindowClipper->Release(), 1u);
        IDirectDrawClipper* attached = nullptr;
        ASSERT_EQ(PrimarySurface->GetClipper(&attached), DD_OK);
        EXPECT_EQ(attached, WindowClipper);
        attached->Release();
        HWND clipped = nullptr;
        ASSERT_EQ(WindowClipper->GetHWnd(&clipped), DD_OK);
        EXPECT_EQ(clipped, OutputWindow);

        // The off-screen surface has the frame's size in the display's format.
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(BackSurface->GetSurfaceDesc(&desc), DD_OK);
        EXPECT_EQ(desc.dwWidth, 320u);
        EXPECT_EQ(desc.dwHeight, 200u);
        EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, DWORD(bits));
        if (bits == 16) {
            EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, c.redMask16);
        }
    }
}

// Every failed step: its box (no owner only for the window), the failure exit code, no
// later call.
StandInDisplay VideoMemoryFull() {
    StandInDisplay display;
    display.videoMemoryFull = true;
    return display;
}

TEST(DisplaySetup, EveryFailedStepIsReportedAndEndsTheProgram) {
    struct Case {
        const char* label;
        bool fullScreen;
        const char* call; // made to fail; null when the display description does it
        HRESULT result;
        int skip;
        StandInDisplay display;
        const char* message;
        const char* lastCall; // the call right before the box
    };
    const StandInDisplay standard;
    const Case cases[] = {
        {"window", false, "CreateWindowExA", 0, 0, standard, "CreateWindowEx FAILED",
         "CreateWindowExA"},
        {"device", true, "DirectDrawCreate", DDERR_GENERIC, 0, standard, "DirectDrawCreate FAILED",
         "DirectDrawCreate"},
        {"interface", false, "IDirectDraw::QueryInterface", E_NOINTERFACE, 0, standard,
         "QueryInterface FAILED", "IDirectDraw::QueryInterface"},
        {"exclusive cooperation", true, "IDirectDraw4::SetCooperativeLevel",
         DDERR_EXCLUSIVEMODEALREADYSET, 0, standard, "SetCooperativeLevel FAILED",
         "IDirectDraw4::SetCooperativeLevel"},
        {"normal cooperation", false, "IDirectDraw4::SetCooperativeLevel", DDERR_GENERIC, 0,
         standard, "SetCooperativeLevel FAILED", "IDirectDraw4::SetCooperativeLevel"},
        {"no depth accepted", true, nullptr, 0, 0, FullScreenDisplay({}), "SetDisplayMode FAILED",
         "IDirectDraw4::SetDisplayMode"},
        {"GetDisplayMode fails: no red mask to go by", true, "IDirectDraw4::GetDisplayMode",
         DDERR_GENERIC, 0, FullScreenDisplay({16}), "SetDisplayMode FAILED (unknown pixel format)",
         "IDirectDraw4::GetDisplayMode"},
        {"16-bit red mask of another layout", true, nullptr, 0, 0, FullScreenDisplay({16}, 0x001F),
         "SetDisplayMode FAILED (unknown pixel format)", "IDirectDraw4::GetDisplayMode"},
        {"flip chain", true, "IDirectDraw4::CreateSurface", DDERR_OUTOFVIDEOMEMORY, 0, standard,
         "CreateSurface FAILED", "IDirectDraw4::CreateSurface"},
        {"no room in video memory: no fall-back to system memory", true, nullptr, 0, 0,
         VideoMemoryFull(), "CreateSurface FAILED", "IDirectDraw4::CreateSurface"},
        {"back buffer", true, "IDirectDrawSurface4::GetAttachedSurface", DDERR_NOTFOUND, 0,
         standard, "GetAttachedSurface FAILED", "IDirectDrawSurface4::GetAttachedSurface"},
        {"8-bit desktop", false, nullptr, 0, 0, DesktopDisplay(8), "Display depth FAILED (8 bits)",
         "GetDeviceCaps"},
        {"4-bit desktop", false, nullptr, 0, 0, DesktopDisplay(4), "Display depth FAILED (4 bits)",
         "GetDeviceCaps"},
        {"no device context: no depth", false, "GetDC", 0, 0, standard,
         "Display depth FAILED (0 bits)", "GetDeviceCaps"},
        {"windowed primary", false, "IDirectDraw4::CreateSurface", DDERR_OUTOFMEMORY, 0, standard,
         "CreateSurface FAILED", "IDirectDraw4::CreateSurface"},
        {"16-bit desktop: GetPixelFormat fails", false, "IDirectDrawSurface4::GetPixelFormat",
         DDERR_GENERIC, 0, DesktopDisplay(16), "GetPixelFormat FAILED",
         "IDirectDrawSurface4::GetPixelFormat"},
        {"16-bit desktop of another layout", false, nullptr, 0, 0, DesktopDisplay(16, 0x001F),
         "GetPixelFormat FAILED (unknown pixel format)", "IDirectDrawSurface4::GetPixelFormat"},
        {"clipper", false, "IDirectDraw4::CreateClipper", DDERR_OUTOFMEMORY, 0, standard,
         "CreateClipper FAILED", "IDirectDraw4::CreateClipper"},
        {"clipper window", false, "IDirectDrawClipper::SetHWnd", DDERR_INVALIDPARAMS, 0, standard,
         "SetHWnd FAILED", "IDirectDrawClipper::SetHWnd"},
        {"attaching the clipper", false, "IDirectDrawSurface4::SetClipper", DDERR_INVALIDOBJECT, 0,
         standard, "SetClipper FAILED", "IDirectDrawSurface4::SetClipper"},
        {"off-screen surface", false, "IDirectDraw4::CreateSurface", DDERR_OUTOFMEMORY, 1, standard,
         "CreateSurface2 FAILED", "IDirectDraw4::CreateSurface"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        StartStandIn(c.display);
        if (c.call != nullptr)
            StandInFailCall(c.call, c.result, c.skip);

        const StandInDump dump =
            RunToEnd([&] { InitDisplay(FrameWidth, FrameHeight, c.fullScreen); }, FailureExitCode);
        ASSERT_EQ(dump.boxes.size(), 1u);
        EXPECT_EQ(dump.boxes[0].text, c.message);
        EXPECT_TRUE(dump.boxes[0].captionIsNull);
        EXPECT_EQ(dump.boxes[0].type, UINT(MB_OK));
        EXPECT_EQ(dump.boxes[0].owner == nullptr, std::string(c.lastCall) == "CreateWindowExA");
        ASSERT_GE(dump.callNames.size(), 2u);
        EXPECT_EQ(dump.callNames.back(), "MessageBoxA");
        EXPECT_EQ(dump.callNames[dump.callNames.size() - 2], c.lastCall);
        EXPECT_EQ(dump.console, "");
    }
}

// Without DirectDrawCreate there is no device: the box names the call that cannot be
// made and the program ends with the failure exit code, instead of calling through an
// empty pointer.
TEST(DisplaySetup, MissingDirectDrawIsReported) {
    struct Case {
        const char* label;
        std::function<void()> arrange;
    };
    const Case cases[] = {
        {"library missing", [] { StandInRemoveLibrary("DDraw.dll"); }},
        {"entry point missing", [] { StandInRemoveExport("DDraw.dll", "DirectDrawCreate"); }},
        {"excluded host",
         [] {
             StandInSetPlatformId(VER_PLATFORM_WIN32_NT);
             StandInSetModuleFileName("C:\\Borland\\Delphi32.EXE");
         }},
    };
    for (const bool fullScreen : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.label) + (fullScreen ? ", full screen" : ", windowed"));
            StartStandIn({}, c.arrange);

            const StandInDump dump = RunToEnd(
                [&] { InitDisplay(FrameWidth, FrameHeight, fullScreen); }, FailureExitCode);
            ASSERT_EQ(dump.boxes.size(), 1u);
            EXPECT_EQ(dump.boxes[0].text, "DirectDrawCreate FAILED");
            EXPECT_NE(dump.boxes[0].owner, nullptr);
            EXPECT_EQ(FirstCall(dump.callNames, "DirectDrawCreate"), -1);
            EXPECT_EQ(DirectDrawCalls(dump.callNames), std::vector<std::string>{});
            EXPECT_EQ(dump.callNames.back(), "MessageBoxA");
        }
    }
}

} // namespace
