// ShadePixels with NEON (Advanced SIMD, part of every arm64 processor). As with SSE2, the
// light-map lookups stay scalar (NEON has no gather); the 16-bit index additions and the
// saturating channel additions are done sixteen pixels at a time.
#include "BumpEffect.h"
#include "ShadeKernels.h"

#include <arm_neon.h>

namespace {

// Table lookups that spread the light bytes of four pixels over their blue, green and red;
// an index past the table (0xFF) gives 0, the top byte's light.
constexpr uint8_t SpreadIndices[4][16] = {
    {0, 0, 0, 0xFF, 1, 1, 1, 0xFF, 2, 2, 2, 0xFF, 3, 3, 3, 0xFF},
    {4, 4, 4, 0xFF, 5, 5, 5, 0xFF, 6, 6, 6, 0xFF, 7, 7, 7, 0xFF},
    {8, 8, 8, 0xFF, 9, 9, 9, 0xFF, 10, 10, 10, 0xFF, 11, 11, 11, 0xFF},
    {12, 12, 12, 0xFF, 13, 13, 13, 0xFF, 14, 14, 14, 0xFF, 15, 15, 15, 0xFF},
};

// The light values of sixteen pixels from their sixteen light-map indices.
inline uint8x16_t SixteenLights(const uint8_t* lightMap, uint16x8_t first, uint16x8_t second) {
    uint16_t indices[16];
    vst1q_u16(indices, first);
    vst1q_u16(indices + 8, second);
    uint8_t lights[16];
    for (int i = 0; i < 16; ++i)
        lights[i] = lightMap[indices[i]];
    return vld1q_u8(lights);
}

} // namespace

void ShadePixelsNeon(const uint16_t* offsets, const uint32_t* shaded, const uint8_t* lightMap,
                     uint16_t lightOffset, uint32_t* dest, int count) {
    const uint16x8_t lightOffsets = vdupq_n_u16(lightOffset);
    uint8x16_t spread[4];
    for (int i = 0; i < 4; ++i)
        spread[i] = vld1q_u8(SpreadIndices[i]);
    const int tail = count % 16;
    for (int k = 0; k < count - tail; k += 16) {
        // Sixteen 16-bit additions whose carries are dropped: always a light-map cell.
        const uint16x8_t first = vaddq_u16(vld1q_u16(offsets + k), lightOffsets);
        const uint16x8_t second = vaddq_u16(vld1q_u16(offsets + k + 8), lightOffsets);
        const uint8x16_t lights = SixteenLights(lightMap, first, second);
        // Unsigned saturating byte additions clamp each channel at 255 on its own.
        for (int i = 0; i < 4; ++i) {
            const uint8x16_t pixels =
                vld1q_u8(reinterpret_cast<const uint8_t*>(shaded + k + 4 * i));
            vst1q_u8(reinterpret_cast<uint8_t*>(dest + k + 4 * i),
                     vqaddq_u8(pixels, vqtbl1q_u8(lights, spread[i])));
        }
    }
    const int done = count - tail;
    ShadePixels(offsets + done, shaded + done, lightMap, lightOffset, dest + done, tail);
}
