// The plain shading loop, pixel by pixel: the reference every faster version is tested and
// measured against.
#include "BumpEffect.h"

#include <algorithm>

void ShadePixels(const uint16_t* offsets, const uint32_t* shaded, const uint8_t* lightMap,
                 uint16_t lightOffset, uint32_t* dest, int count) {
    for (int k = 0; k < count; ++k) {
        // A 16-bit addition: the carry is dropped, so the index is always a light-map cell.
        const uint16_t index = static_cast<uint16_t>(offsets[k] + lightOffset);
        const uint32_t light = lightMap[index];
        const uint32_t pixel = shaded[k];
        const uint32_t blue = std::min<uint32_t>(255, (pixel & 0xFF) + light);
        const uint32_t green = std::min<uint32_t>(255, (pixel >> 8 & 0xFF) + light);
        const uint32_t red = std::min<uint32_t>(255, (pixel >> 16 & 0xFF) + light);
        dest[k] = (pixel & 0xFF000000) | red << 16 | green << 8 | blue;
    }
}
