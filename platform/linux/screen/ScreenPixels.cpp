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

// The pixels as 32-bit XRGB8888 values (the 32-bit layout as it is, top byte included);
// empty for a layout the screen does not have.
std::vector<uint32_t> AsXrgb8888(const uint8_t* pixels, Uint32 format, size_t count) {
    std::vector<uint32_t> wide(count);
    for (size_t i = 0; i < count; ++i) {
        switch (format) {
        case SDL_PIXELFORMAT_XRGB8888:
            std::memcpy(&wide[i], pixels + 4 * i, 4);
            break;
        case SDL_PIXELFORMAT_BGR24: {
            const uint8_t* p = pixels + 3 * i;
            wide[i] = static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
            break;
        }
        case SDL_PIXELFORMAT_RGB565:
        case SDL_PIXELFORMAT_XRGB1555: {
            const uint32_t p = static_cast<uint32_t>(pixels[2 * i]) |
                               static_cast<uint32_t>(pixels[2 * i + 1]) << 8;
            const int greenBits = format == SDL_PIXELFORMAT_RGB565 ? 6 : 5;
            wide[i] = Widened(p >> (5 + greenBits) & 0x1F, 5) << 16 |
                      Widened(p >> 5 & ((1u << greenBits) - 1), greenBits) << 8 |
                      Widened(p & 0x1F, 5);
            break;
        }
        default:
            return {};
        }
    }
    return wide;
}

} // namespace

bool DrawPixels(const uint8_t* pixels, Uint32 format, int width, int height, SDL_Surface* target,
                int x, int y, int factor) {
    if (width <= 0 || height <= 0 || factor <= 0)
        return false;
    // Widened to 8 bits a channel here, then SDL puts them into the surface's format
    // (dropping bits again for a 16-bit display, which gives back the same values).
    const std::vector<uint32_t> wide =
        AsXrgb8888(pixels, format, static_cast<size_t>(width) * static_cast<size_t>(height));
    if (wide.empty())
        return false;
    const size_t pixelBytes = target->format->BytesPerPixel;
    const size_t rowBytes = static_cast<size_t>(width) * pixelBytes;
    std::vector<uint8_t> converted(rowBytes * static_cast<size_t>(height));
    if (SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_XRGB8888, wide.data(), width * 4,
                          target->format->format, converted.data(),
                          static_cast<int>(rowBytes)) != 0)
        return false;

    // The columns of the enlarged picture that lie on the surface.
    const long long left = std::max(0LL, static_cast<long long>(x));
    const long long right =
        std::min(static_cast<long long>(target->w), x + static_cast<long long>(width) * factor);
    if (left >= right)
        return true;
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0)
        return false;
    std::vector<uint8_t> scaledRow(static_cast<size_t>(right - left) * pixelBytes);
    for (int row = 0; row < height; ++row) {
        const uint8_t* source = converted.data() + static_cast<size_t>(row) * rowBytes;
        for (long long column = left; column < right; ++column)
            std::memcpy(scaledRow.data() + static_cast<size_t>(column - left) * pixelBytes,
                        source + static_cast<size_t>((column - x) / factor) * pixelBytes,
                        pixelBytes);
        for (int copy = 0; copy < factor; ++copy) {
            const long long line = y + static_cast<long long>(row) * factor + copy;
            if (line < 0 || line >= target->h)
                continue;
            uint8_t* out = static_cast<uint8_t*>(target->pixels) +
                           static_cast<size_t>(line) * static_cast<size_t>(target->pitch) +
                           static_cast<size_t>(left) * pixelBytes;
            std::memcpy(out, scaledRow.data(), scaledRow.size());
        }
    }
    if (SDL_MUSTLOCK(target))
        SDL_UnlockSurface(target);
    return true;
}
