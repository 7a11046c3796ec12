// 32-bit frame pixels (0xTTRRGGBB) into the display's 15-, 16-, 24- and 32-bit formats.
// Plain per-pixel code: shifts and masks, no tables and no branches per pixel. Surface
// pixels are written byte by byte in little-endian order, so no alignment is assumed.
#include "PixelConversion.h"

#include <cstring>

void ConvertTo15(const uint32_t* source, uint8_t* dest, int width, int height, int32_t rowPadding) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = *source++;
            const uint32_t pixel =
                ((p >> 19) & 0x1F) << 10 | ((p >> 11) & 0x1F) << 5 | ((p >> 3) & 0x1F);
            dest[0] = static_cast<uint8_t>(pixel);
            dest[1] = static_cast<uint8_t>(pixel >> 8);
            dest += 2;
        }
        dest += rowPadding;
    }
}

void ConvertTo16(const uint32_t* source, uint8_t* dest, int width, int height, int32_t rowPadding) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = *source++;
            const uint32_t pixel =
                ((p >> 19) & 0x1F) << 11 | ((p >> 10) & 0x3F) << 5 | ((p >> 3) & 0x1F);
            dest[0] = static_cast<uint8_t>(pixel);
            dest[1] = static_cast<uint8_t>(pixel >> 8);
            dest += 2;
        }
        dest += rowPadding;
    }
}

void ConvertTo24(const uint32_t* source, uint8_t* dest, int width, int height, int32_t rowPadding) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = *source++;
            dest[0] = static_cast<uint8_t>(p);       // blue
            dest[1] = static_cast<uint8_t>(p >> 8);  // green
            dest[2] = static_cast<uint8_t>(p >> 16); // red
            dest += 3;
        }
        dest += rowPadding;
    }
}

void ConvertTo32(const uint32_t* source, uint8_t* dest, int width, int height, int32_t rowPadding) {
    // The surface format is the frame's own: whole rows are copied, top byte included.
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        std::memcpy(dest, source, rowBytes);
        source += width;
        dest += rowBytes;
        dest += rowPadding;
    }
}
