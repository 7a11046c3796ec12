// The stand-in's screen pixels onto an SDL surface: converted from the screen's format to
// the surface's, then enlarged by whole factors, nearest pixel, no smoothing.
#include "Screen.h"

#include <algorithm>
#include <cstring>

Uint32 ScreenPixelFormat(int bitsPerPixel, DWORD redMask16) {
    switch (bitsPerPixel) {
    case 15:
        return SDL_PIXELFORMAT_XRGB1555;
    case 16:
        return redMask16 == 0x7C00 ? SDL_PIXELFORMAT_XRGB1555 : SDL_PIXELFORMAT_RGB565;
    case 24:
        // Blue, green, red at increasing addresses.
        return SDL_PIXELFORMAT_BGR24;
    case 32:
        // Blue, green, red and a top byte that is not shown.
        return SDL_PIXELFORMAT_XRGB8888;
    default:
        return SDL_PIXELFORMAT_UNKNOWN;
    }
}

int WholeScaleFactor(int width, int height, int displayWidth, int displayHeight) {
    if (width <= 0 || height <= 0)
        return 1;
    return std::max(1, std::min(displayWidth / width, displayHeight / height));
}

namespace {

// A channel of a few bits widened to eight, its high bits repeated below: 0 stays 0 and
// the largest value becomes 255.
uint32_t Widened(uint32_t value, int bits) {
    value <<= 8 - bits;
    return value | value >> bits;
}

// One row of pixels as 32-bit XRGB8888 values (the 32-bit layout as it is, top byte
// included); false for a layout the screen does not have.
bool RowAsXrgb8888(const uint8_t* pixels, Uint32 format, int count, uint32_t* wide) {
    switch (format) {
    case SDL_PIXELFORMAT_XRGB8888:
        std::memcpy(wide, pixels, static_cast<size_t>(count) * 4);
        return true;
    case SDL_PIXELFORMAT_BGR24:
        for (int i = 0; i < count; ++i) {
            const uint8_t* p = pixels + 3 * i;
            wide[i] = static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
        }
        return true;
    case SDL_PIXELFORMAT_RGB565:
    case SDL_PIXELFORMAT_XRGB1555: {
        const int greenBits = format == SDL_PIXELFORMAT_RGB565 ? 6 : 5;
        for (int i = 0; i < count; ++i) {
            const uint32_t p = static_cast<uint32_t>(pixels[2 * i]) |
                               static_cast<uint32_t>(pixels[2 * i + 1]) << 8;
            wide[i] = Widened(p >> (5 + greenBits) & 0x1F, 5) << 16 |
                      Widened(p >> 5 & ((1u << greenBits) - 1), greenBits) << 8 |
                      Widened(p & 0x1F, 5);
        }
        return true;
    }
    default:
        return false;
    }
}

// Kept between calls: a row widened and a row in the surface's format. They grow with the
// widest picture drawn and are not given back.
std::vector<uint32_t> WideRow;
std::vector<uint8_t> ConvertedRow;

template <typename T> T* Sized(std::vector<T>& buffer, size_t count) {
    if (buffer.size() < count)
        buffer.resize(count);
    return buffer.data();
}

// The columns [left, right) of the enlarged row whose picture starts at x.
void EnlargeRow(const uint8_t* source, size_t pixelBytes, long long x, long long left,
                long long right, int factor, uint8_t* out) {
    if (factor == 1) {
        std::memcpy(out, source + static_cast<size_t>(left - x) * pixelBytes,
                    static_cast<size_t>(right - left) * pixelBytes);
        return;
    }
    // Source pixel by source pixel, each repeated over its block of columns (a partial
    // block at either cut edge); no division per pixel.
    long long sourceColumn = (left - x) / factor;
    long long blockEnd = x + (sourceColumn + 1) * factor;
    long long column = left;
    if (pixelBytes == 4) {
        uint32_t* wideOut = reinterpret_cast<uint32_t*>(out);
        for (; column < right; ++sourceColumn, blockEnd += factor) {
            uint32_t value;
            std::memcpy(&value, source + static_cast<size_t>(sourceColumn) * 4, 4);
            for (const long long end = std::min(right, blockEnd); column < end; ++column)
                *wideOut++ = value;
        }
        return;
    }
    for (; column < right; ++sourceColumn, blockEnd += factor) {
        const uint8_t* value = source + static_cast<size_t>(sourceColumn) * pixelBytes;
        for (const long long end = std::min(right, blockEnd); column < end; ++column) {
            std::memcpy(out, value, pixelBytes);
            out += pixelBytes;
        }
    }
}

} // namespace

bool DrawPixels(const uint8_t* pixels, Uint32 format, int width, int height, SDL_Surface* target,
                int x, int y, int factor, size_t sourcePitch) {
    if (width <= 0 || height <= 0 || factor <= 0)
        return false;
    if (format != SDL_PIXELFORMAT_XRGB8888 && format != SDL_PIXELFORMAT_BGR24 &&
        format != SDL_PIXELFORMAT_RGB565 && format != SDL_PIXELFORMAT_XRGB1555)
        return false;
    const size_t pixelBytes = target->format->BytesPerPixel;
    if (sourcePitch == 0)
        sourcePitch = static_cast<size_t>(width) * SDL_BYTESPERPIXEL(format);
    const size_t rowBytes = static_cast<size_t>(width) * pixelBytes;
    const Uint32 targetFormat = target->format->format;
    // Widened to 8 bits a channel here, then SDL puts them into the surface's format
    // (dropping bits again for a 16-bit display, which gives back the same values); a
    // XRGB8888 surface takes the widened row as it is.
    const bool direct = targetFormat == SDL_PIXELFORMAT_XRGB8888;
    uint32_t* wide = Sized(WideRow, static_cast<size_t>(width));
    uint8_t* converted = direct ? reinterpret_cast<uint8_t*>(wide) : Sized(ConvertedRow, rowBytes);
    if (!direct && SDL_ConvertPixels(width, 1, SDL_PIXELFORMAT_XRGB8888, wide, width * 4,
                                     targetFormat, converted, static_cast<int>(rowBytes)) != 0)
        return false;

    // The columns and source rows of the enlarged picture that lie on the surface.
    const long long left = std::max(0LL, static_cast<long long>(x));
    const long long right =
        std::min(static_cast<long long>(target->w), x + static_cast<long long>(width) * factor);
    const long long top = std::max(0LL, static_cast<long long>(y));
    const long long bottom =
        std::min(static_cast<long long>(target->h), y + static_cast<long long>(height) * factor);
    if (left >= right || top >= bottom)
        return true;
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0)
        return false;
    const size_t outBytes = static_cast<size_t>(right - left) * pixelBytes;
    uint8_t* const surfacePixels = static_cast<uint8_t*>(target->pixels);
    const size_t pitch = static_cast<size_t>(target->pitch);
    bool drawn = true;
    for (long long row = (top - y) / factor; row * factor + y < bottom; ++row) {
        const long long first = std::max(top, y + row * factor);
        const long long last = std::min(bottom, y + (row + 1) * factor);
        RowAsXrgb8888(pixels + static_cast<size_t>(row) * sourcePitch, format, width, wide);
        if (!direct &&
            SDL_ConvertPixels(width, 1, SDL_PIXELFORMAT_XRGB8888, wide, width * 4, targetFormat,
                              converted, static_cast<int>(rowBytes)) != 0) {
            drawn = false;
            break;
        }
        // The row enlarged once straight into the surface, then copied for the others.
        uint8_t* firstOut = surfacePixels + static_cast<size_t>(first) * pitch +
                            static_cast<size_t>(left) * pixelBytes;
        EnlargeRow(converted, pixelBytes, x, left, right, factor, firstOut);
        for (long long line = first + 1; line < last; ++line)
            std::memcpy(surfacePixels + static_cast<size_t>(line) * pitch +
                            static_cast<size_t>(left) * pixelBytes,
                        firstOut, outBytes);
    }
    if (SDL_MUSTLOCK(target))
        SDL_UnlockSurface(target);
    return drawn;
}
