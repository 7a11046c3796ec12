// PresentFrame: one 32-bit frame into BackSurface in the display's format, then shown
// by Flip (full screen) or by Blt into the output window's client area (windowed).
#include "VideoOutput.h"

#include "DirectDrawCalls.h"
#include "ConversionKernels.h"

#include <cstring>

namespace {

// The conversion into a display of this depth, the fastest this processor runs (chosen at
// program start); null for a depth there is none for.
ConversionKernel KernelFor(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 15:
        return ConvertTo15Kernel;
    case 16:
        return ConvertTo16Kernel;
    case 24:
        return ConvertTo24Kernel;
    case 32:
        return ConvertTo32Kernel;
    default:
        return nullptr;
    }
}

// Converts the frame into the locked surface in the format of DisplayBpp. Display setup
// admits no depth without a conversion (CanPresentAt); for one, nothing would be written.
void ConvertFrame(const uint32_t* frame, const DDSURFACEDESC2& surface) {
    const ConversionKernel convert = KernelFor(DisplayBpp);
    if (convert != nullptr)
        convert(frame, static_cast<uint8_t*>(surface.lpSurface), static_cast<int>(surface.dwWidth),
                static_cast<int>(surface.dwHeight), RowPadding);
}

// Blits BackSurface into the client area. A client area larger than the surface would
// give a source rectangle reaching past the surface, which DirectDraw refuses; the blit
// is clipped to the surface instead, so the frame shows unscaled at the top-left.
void BlitToWindow(LONG surfaceWidth, LONG surfaceHeight) {
    RECT source = SourceRect;
    RECT dest = DestRect;
    if (source.right > surfaceWidth) {
        dest.right -= source.right - surfaceWidth;
        source.right = surfaceWidth;
    }
    if (source.bottom > surfaceHeight) {
        dest.bottom -= source.bottom - surfaceHeight;
        source.bottom = surfaceHeight;
    }
    if (Surface4Blt(PrimarySurface, &dest, BackSurface, &source, 0, nullptr) != DD_OK)
        ReportFailure("Blt FAILED");
}

} // namespace

bool CanPresentAt(int bitsPerPixel) {
    return KernelFor(bitsPerPixel) != nullptr;
}

void PresentFrame(const uint32_t* frame) {
    DDSURFACEDESC2 surface;
    std::memset(&surface, 0, sizeof surface);
    surface.dwSize = sizeof surface;
    if (Surface4Lock(BackSurface, nullptr, &surface, DDLOCK_WAIT, nullptr) != DD_OK)
        ReportFailure("Lock FAILED");

    // Bytes between the end of a converted row and the start of the next, in 32 bits.
    const uint32_t bytesPerPixel = (DisplayBpp + 1u) / 8;
    RowPadding = static_cast<int32_t>(static_cast<uint32_t>(surface.lPitch) -
                                      surface.dwWidth * bytesPerPixel);
    ConvertFrame(frame, surface);

    if (Surface4Unlock(BackSurface, nullptr) != DD_OK)
        ReportFailure("UnLock FAILED");

    if (FullScreen) {
        if (Surface4Flip(PrimarySurface, nullptr, DDFLIP_WAIT) != DD_OK)
            ReportFailure("Flip FAILED");
    } else {
        BlitToWindow(static_cast<LONG>(surface.dwWidth), static_cast<LONG>(surface.dwHeight));
    }
}
