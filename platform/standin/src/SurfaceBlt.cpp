// Blt: copies a rectangle of one surface into a rectangle of another, one to one when the
// sizes match and stretched by nearest pixels otherwise, confined by the destination's
// clipper to the visible part of its window's client area. The copy is queued, one at a
// time, and carried out when pixels are next needed: a Blt onto the screen is then copied
// while the program waits, by the presentation that reads the screen, not in its frame.
#include "DirectDrawPrivate.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// The queued copy: the pixels of dest's rectangle `to` that lie in `visible`, from
// source's `from`. Both memories are held, whatever becomes of their surfaces.
struct QueuedCopy {
    std::shared_ptr<PixelMemory> dest, source;
    RECT to, visible, from;
};
QueuedCopy Queued;

// The plain copies the stand-in performs: waiting or not makes no difference to it.
constexpr DWORD SupportedBltFlags = DDBLT_WAIT | DDBLT_ASYNC | DDBLT_DONOTWAIT;

RECT WholeOf(const PixelMemory& memory) {
    return RECT{0, 0, static_cast<LONG>(memory.width), static_cast<LONG>(memory.height)};
}

bool Inside(const RECT& rect, const RECT& bounds) {
    return !IsEmpty(rect) && rect.left >= bounds.left && rect.top >= bounds.top &&
           rect.right <= bounds.right && rect.bottom <= bounds.bottom;
}

// The source coordinate that destination coordinate d takes its pixel from.
LONG NearestSource(LONG d, LONG destStart, long long destSize, LONG sourceStart,
                   long long sourceSize) {
    return sourceStart +
           static_cast<LONG>((d - static_cast<long long>(destStart)) * sourceSize / destSize);
}

// Copies the pixels of dest's rectangle `to` that lie in `visible` from source's `from`.
void Copy(PixelMemory& dest, const RECT& to, const RECT& visible, const PixelMemory& source,
          const RECT& from) {
    const RECT area = Intersection(to, visible);
    if (IsEmpty(area))
        return;
    const long long toWidth = static_cast<long long>(to.right) - to.left;
    const long long toHeight = static_cast<long long>(to.bottom) - to.top;
    const long long fromWidth = from.right - from.left;
    const long long fromHeight = from.bottom - from.top;
    const size_t pixelBytes = dest.bytesPerPixel;
    for (LONG y = area.top; y < area.bottom; ++y) {
        const LONG sy = NearestSource(y, to.top, toHeight, from.top, fromHeight);
        uint8_t* out = PixelRow(dest, y) + static_cast<size_t>(area.left) * pixelBytes;
        const uint8_t* in = PixelRow(source, sy);
        if (toWidth == fromWidth) {
            const LONG sx = NearestSource(area.left, to.left, toWidth, from.left, fromWidth);
            std::memmove(out, in + static_cast<size_t>(sx) * pixelBytes,
                         static_cast<size_t>(area.right - area.left) * pixelBytes);
            continue;
        }
        for (LONG x = area.left; x < area.right; ++x, out += pixelBytes) {
            const LONG sx = NearestSource(x, to.left, toWidth, from.left, fromWidth);
            std::memcpy(out, in + static_cast<size_t>(sx) * pixelBytes, pixelBytes);
        }
    }
}

} // namespace

void FinishBlits() {
    if (Queued.dest == nullptr)
        return;
    const QueuedCopy copy = std::exchange(Queued, QueuedCopy{});
    Copy(*copy.dest, copy.to, copy.visible, *copy.source, copy.from);
}

void ForgetBlits() {
    Queued = QueuedCopy{};
}

HRESULT Surface::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE4 sourceSurface, LPRECT sourceRect,
                     DWORD flags, LPDDBLTFX effects) {
    const unsigned long long started = StartFrameCall();
    HRESULT failure;
    if (LoggedCallFails(
            "IDirectDrawSurface4::Blt",
            {Arg(destRect), Arg(sourceSurface), Arg(sourceRect), Arg(flags), Arg(effects)},
            &failure))
        return failure;
    if ((flags & ~SupportedBltFlags) != 0 || sourceSurface == nullptr)
        return DDERR_INVALIDPARAMS;
    Surface* source = FindSurface(sourceSurface);
    if (source == nullptr)
        return DDERR_INVALIDOBJECT;
    if (locked || source->locked)
        return DDERR_SURFACEBUSY;

    const RECT from = sourceRect != nullptr ? *sourceRect : WholeOf(*source->memory);
    if (!Inside(from, WholeOf(*source->memory)))
        return DDERR_INVALIDRECT;
    const RECT to = destRect != nullptr ? *destRect : WholeOf(*memory);
    if (IsEmpty(to))
        return DDERR_INVALIDRECT;
    // Without a clipper the destination rectangle must lie on the surface; with one it is
    // cut to the part of the window's client area that is on the surface.
    RECT visible = WholeOf(*memory);
    if (clipper == nullptr) {
        if (!Inside(to, visible))
            return DDERR_INVALIDRECT;
    } else {
        const HWND window = ClipperWindow(clipper);
        if (window == nullptr)
            return DDERR_NOCLIPLIST;
        RECT client;
        if (!WindowClientOnScreen(window, &client))
            return DDERR_GENERIC;
        visible = Intersection(visible, client);
    }
    if (!SamePixelFormat(format, source->format))
        return DDERR_UNSUPPORTED;

    FinishBlits();
    if (source->memory == memory && (from.left != to.left || from.top != to.top ||
                                     from.right != to.right || from.bottom != to.bottom)) {
        // Within one surface the source is read from a copy, so that it stays intact
        // however the rectangles overlap.
        const PixelMemory snapshot = *source->memory;
        Copy(*memory, to, visible, snapshot, from);
    } else {
        Queued = QueuedCopy{memory, source->memory, to, visible, from};
    }
    PixelsChanged(*memory, Intersection(to, visible));
    CountFrameCall(FrameCall::Presentation, started);
    return DD_OK;
}
