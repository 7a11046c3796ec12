// ShadePixels with AVX2, sixteen pixels per step. The light-map lookups stay scalar
// (hardware gathers are slower than scalar loads here) but each loads straight into its
// byte of a vector; one byte shuffle per eight pixels spreads the light over blue, green
// and red. Compiled for AVX2 by function attribute only; ShadeFrame reaches it only on a
// processor that has it. It clears the upper register halves before returning, so that
// the SSE code around it runs at full speed.
#include "ShadeKernels.h"

#include <immintrin.h>

#define AVX2_KERNEL __attribute__((target("avx2")))

namespace {

// The light values of eight pixels, from their eight 16-bit light-map indices, as the
// low eight bytes. The indices leave the vector 32 bits at a time, two per lane.
AVX2_KERNEL inline __m128i EightLights(const uint8_t* lightMap, __m128i indices) {
    const auto lane0 = static_cast<uint32_t>(_mm_cvtsi128_si32(indices));
    const auto lane1 = static_cast<uint32_t>(_mm_extract_epi32(indices, 1));
    const auto lane2 = static_cast<uint32_t>(_mm_extract_epi32(indices, 2));
    const auto lane3 = static_cast<uint32_t>(_mm_extract_epi32(indices, 3));
    __m128i lights = _mm_cvtsi32_si128(lightMap[lane0 & 0xFFFF]);
    lights = _mm_insert_epi8(lights, lightMap[lane0 >> 16], 1);
    lights = _mm_insert_epi8(lights, lightMap[lane1 & 0xFFFF], 2);
    lights = _mm_insert_epi8(lights, lightMap[lane1 >> 16], 3);
    lights = _mm_insert_epi8(lights, lightMap[lane2 & 0xFFFF], 4);
    lights = _mm_insert_epi8(lights, lightMap[lane2 >> 16], 5);
    lights = _mm_insert_epi8(lights, lightMap[lane3 & 0xFFFF], 6);
    lights = _mm_insert_epi8(lights, lightMap[lane3 >> 16], 7);
    return lights;
}

} // namespace

AVX2_KERNEL void ShadePixelsAvx2(const uint16_t* offsets, const uint32_t* shaded,
                                 const uint8_t* lightMap, uint16_t lightOffset, uint32_t* dest,
                                 int count) {
    const __m256i lightOffsets = _mm256_set1_epi16(static_cast<short>(lightOffset));
    // Light byte i of a 128-bit half into bytes 0-2 of pixel lane i, zero into byte 3:
    // the top byte keeps its value.
    const __m256i spreadFirst =
        _mm256_setr_epi8(0, 0, 0, -1, 1, 1, 1, -1, 2, 2, 2, -1, 3, 3, 3, -1, 4, 4, 4, -1, 5, 5, 5,
                         -1, 6, 6, 6, -1, 7, 7, 7, -1);
    const __m256i spreadSecond =
        _mm256_setr_epi8(8, 8, 8, -1, 9, 9, 9, -1, 10, 10, 10, -1, 11, 11, 11, -1, 12, 12, 12, -1,
                         13, 13, 13, -1, 14, 14, 14, -1, 15, 15, 15, -1);
    const int tail = count % 16;
    for (int k = 0; k < count - tail; k += 16) {
        // Sixteen 16-bit additions whose carries are dropped: always a light-map cell.
        const __m256i indices = _mm256_add_epi16(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(offsets + k)), lightOffsets);
        const __m128i lights =
            _mm_unpacklo_epi64(EightLights(lightMap, _mm256_castsi256_si128(indices)),
                               EightLights(lightMap, _mm256_extracti128_si256(indices, 1)));
        const __m256i both = _mm256_broadcastsi128_si256(lights);
        // Unsigned saturating byte additions clamp each channel at 255 on its own.
        const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(shaded + k));
        const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(shaded + k + 8));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + k),
                            _mm256_adds_epu8(first, _mm256_shuffle_epi8(both, spreadFirst)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + k + 8),
                            _mm256_adds_epu8(second, _mm256_shuffle_epi8(both, spreadSecond)));
    }
    for (int k = count - tail; k < count; ++k) {
        // The plain per-pixel expression for the pixels that do not fill a step.
        const uint32_t light = lightMap[static_cast<uint16_t>(offsets[k] + lightOffset)];
        const uint32_t pixel = shaded[k];
        const uint32_t blue = (pixel & 0xFF) + light;
        const uint32_t green = (pixel >> 8 & 0xFF) + light;
        const uint32_t red = (pixel >> 16 & 0xFF) + light;
        dest[k] = (pixel & 0xFF000000) | (red > 255 ? 255 : red) << 16 |
                  (green > 255 ? 255 : green) << 8 | (blue > 255 ? 255 : blue);
    }
    _mm256_zeroupper();
}
