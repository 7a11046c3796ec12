// Plain per-pixel loops, one pixel at a time as the effect and the presentation describe
// them. The build compiles this file with the vectorisers off (see CMakeLists.txt).
#include "PlainLoops.h"

#include <cstring>

void PlainShadePixels(const uint16_t* offsets, const uint32_t* shaded, const uint8_t* lightMap,
                      uint16_t lightOffset, uint32_t* dest, int count) {
    for (int k = 0; k < count; ++k) {
        const uint32_t light = lightMap[static_cast<uint16_t>(offsets[k] + lightOffset)];
        const uint32_t pixel = shaded[k];
        const uint32_t blue = (pixel & 0xFF) + light;
        const uint32_t green = (pixel >> 8 & 0xFF) + light;
        const uint32_t red = (pixel >> 16 & 0xFF) + light;
        dest[k] = (pixel & 0xFF000000) | (red > 255 ? 255 : red) << 16 |
                  (green > 255 ? 255 : green) << 8 | (blue > 255 ? 255 : blue);
    }
}

void PlainConvertTo15(const uint32_t* source, uint8_t* dest, int width, int height,
                      int32_t rowPadding) {
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

void PlainConvertTo16(const uint32_t* source, uint8_t* dest, int width, int height,
                      int32_t rowPadding) {
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

void PlainConvertTo24(const uint32_t* source, uint8_t* dest, int width, int height,
                      int32_t rowPadding) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = *source++;
            dest[0] = static_cast<uint8_t>(p);
            dest[1] = static_cast<uint8_t>(p >> 8);
            dest[2] = static_cast<uint8_t>(p >> 16);
            dest += 3;
        }
        dest += rowPadding;
    }
}

void PlainConvertTo32(const uint32_t* source, uint8_t* dest, int width, int height,
                      int32_t rowPadding) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = *source++;
            dest[0] = static_cast<uint8_t>(p);
            dest[1] = static_cast<uint8_t>(p >> 8);
            dest[2] = static_cast<uint8_t>(p >> 16);
            dest[3] = static_cast<uint8_t>(p >> 24);
            dest += 4;
        }
        dest += rowPadding;
    }
}
