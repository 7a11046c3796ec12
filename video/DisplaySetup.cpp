// InitDisplay: the output window, the DirectDraw device, the display depth and the two
// surfaces each frame goes through. Every failure ends the program with a box that
// names the failed call, or the desktop depth the frames cannot be shown at.
#include "OutputWindow.h"
#include "VideoOutput.h"

#include "DirectDrawCalls.h"
#include "DirectDrawLoader.h"

#include <cstdio>
#include <cstring>

namespace {

DDSURFACEDESC2 ZeroedSurfaceDesc() {
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    return desc;
}

// The depth of a 16-bit display by its red mask: 5-5-5 is 15, 5-6-5 stays 16. Any other
// layout (a mask of 0: not known) is reported with the failure text given.
uint8_t SixteenBitDepth(DWORD redMask, const char* failure) {
    if (redMask == 0x7C00)
        return 15;
    if (redMask != 0xF800)
        ReportFailure(failure);
    return 16;
}

// A desktop depth the presentation cannot convert to (8 bits, 4 bits) ends the program
// with a box naming it, instead of a window that would stay black.
void CheckDesktopDepth(int depth) {
    if (CanPresentAt(depth))
        return;
    char message[64];
    std::snprintf(message, sizeof message, "Display depth FAILED (%d bits)", depth);
    ReportFailure(message);
}

// Tries 32, 24 and 16 bits in turn; DisplayBpp holds the depth being tried. A 16-bit
// mode is told apart by its red mask.
void SetFullScreenMode(IDirectDraw4* directDraw, DWORD width, DWORD height) {
    static constexpr uint8_t Depths[] = {32, 24, 16};
    bool modeSet = false;
    for (const uint8_t depth : Depths) {
        DisplayBpp = depth;
        if (DirectDraw4SetDisplayMode(directDraw, width, height, depth, 0, 0) == DD_OK) {
            modeSet = true;
            break;
        }
    }
    if (!modeSet)
        ReportFailure("SetDisplayMode FAILED");
    if (DisplayBpp != 16)
        return;

    DDSURFACEDESC2 mode = ZeroedSurfaceDesc();
    DirectDraw4GetDisplayMode(directDraw, &mode); // on failure the mask stays 0: unknown
    DisplayBpp = SixteenBitDepth(mode.ddpfPixelFormat.dwRBitMask,
                                 "SetDisplayMode FAILED (unknown pixel format)");
}

// Windows reports a 16-bit desktop as 16 bits whatever its layout: the primary surface's
// pixel format, which is the desktop's, tells 5-5-5 from 5-6-5.
void TellDesktopLayout() {
    DDPIXELFORMAT format;
    std::memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    if (Surface4GetPixelFormat(PrimarySurface, &format) != DD_OK)
        ReportFailure("GetPixelFormat FAILED");
    DisplayBpp = SixteenBitDepth(format.dwRBitMask, "GetPixelFormat FAILED (unknown pixel format)");
}

// Exclusive full screen: the display mode and a flip chain with one back buffer.
void OpenFullScreen(IDirectDraw4* directDraw, DWORD width, DWORD height) {
    if (DirectDraw4SetCooperativeLevel(directDraw, OutputWindow,
                                       DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK)
        ReportFailure("SetCooperativeLevel FAILED");
    SetFullScreenMode(directDraw, width, height);

    DDSURFACEDESC2 primary = ZeroedSurfaceDesc();
    primary.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    primary.dwBackBufferCount = 1;
    primary.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    if (DirectDraw4CreateSurface(directDraw, &primary, &PrimarySurface, nullptr) != DD_OK)
        ReportFailure("CreateSurface FAILED");

    DDSCAPS2 backBuffer;
    std::memset(&backBuffer, 0, sizeof backBuffer);
    backBuffer.dwCaps = DDSCAPS_BACKBUFFER;
    if (Surface4GetAttachedSurface(PrimarySurface, &backBuffer, &BackSurface) != DD_OK)
        ReportFailure("GetAttachedSurface FAILED");
}

// Windowed: the desktop's depth, the primary surface clipped to the window, and an
// off-screen surface of the frame's size to blit from.
void OpenWindowed(IDirectDraw4* directDraw, DWORD width, DWORD height) {
    // The desktop's depth, checked before it is kept to a byte.
    const int depth = GetDeviceCaps(GetDC(OutputWindow), BITSPIXEL);
    CheckDesktopDepth(depth);
    DisplayBpp = static_cast<uint8_t>(depth);
    if (DirectDraw4SetCooperativeLevel(directDraw, OutputWindow, DDSCL_NORMAL) != DD_OK)
        ReportFailure("SetCooperativeLevel FAILED");
    MeasureClientArea();

    DDSURFACEDESC2 primary = ZeroedSurfaceDesc();
    primary.dwFlags = DDSD_CAPS;
    primary.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (DirectDraw4CreateSurface(directDraw, &primary, &PrimarySurface, nullptr) != DD_OK)
        ReportFailure("CreateSurface FAILED");
    if (DisplayBpp == 16)
        TellDesktopLayout();

    if (DirectDraw4CreateClipper(directDraw, 0, &WindowClipper, nullptr) != DD_OK)
        ReportFailure("CreateClipper FAILED");
    if (ClipperSetHWnd(WindowClipper, 0, OutputWindow) != DD_OK)
        ReportFailure("SetHWnd FAILED");
    if (Surface4SetClipper(PrimarySurface, WindowClipper) != DD_OK)
        ReportFailure("SetClipper FAILED");
    ClipperRelease(WindowClipper); // the primary surface keeps its own reference

    // No pixel format asked for: the surface takes the display's.
    DDSURFACEDESC2 offScreen = ZeroedSurfaceDesc();
    offScreen.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    offScreen.dwWidth = width;
    offScreen.dwHeight = height;
    offScreen.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    if (DirectDraw4CreateSurface(directDraw, &offScreen, &BackSurface, nullptr) != DD_OK)
        ReportFailure("CreateSurface2 FAILED");
}

} // namespace

void InitDisplay(uint16_t width, uint16_t height, bool fullScreen) {
    // Stored first: the window procedure reads the size while the window is created.
    FullScreen = fullScreen;
    OutputWidth = width;
    OutputHeight = height;
    CreateOutputWindow(OutputWidth, OutputHeight, fullScreen);

    // Without the library or its entry point there is no device to create.
    if (DirectDrawLoader::DirectDrawCreate == nullptr)
        ReportFailure("DirectDrawCreate FAILED");
    IDirectDraw* directDraw = nullptr;
    if (DirectDrawLoader::DirectDrawCreate(nullptr, &directDraw, nullptr) != DD_OK)
        ReportFailure("DirectDrawCreate FAILED");

    IDirectDraw4* directDraw4 = nullptr;
    if (DirectDrawQueryInterface(directDraw, IID_IDirectDraw4,
                                 reinterpret_cast<void**>(&directDraw4)) != DD_OK)
        ReportFailure("QueryInterface FAILED");

    if (fullScreen)
        OpenFullScreen(directDraw4, width, height);
    else
        OpenWindowed(directDraw4, width, height);
}
