// ShadePixels with SSE2. The light-map lookups stay scalar (a table read per pixel does
// not vectorise); the 16-bit index additions and the saturating channel additions are
// done eight pixels at a time. Compiled for SSE2 by function attribute only, so a 32-bit
// build runs on older processors as long as this is not chosen.
#include "BumpEffect.h"
#include "ShadeKernels.h"

#include <emmintrin.h>

#define SSE2_KERNEL __attribute__((target("sse2")))

namespace {

// The light values of the two pixels whose light-map indices share a 32-bit lane,
// as bytes 0 and 1.
SSE2_KERNEL inline uint32_t LightPair(const uint8_t* lightMap, uint32_t indices) {
    return uint32_t{lightMap[indices & 0xFFFF]} | uint32_t{lightMap[indices >> 16]} << 8;
}

} // namespace

SSE2_KERNEL void ShadePixelsSse2(const uint16_t* offsets, const uint32_t* shaded,
                                 const uint8_t* lightMap, uint16_t lightOffset, uint32_t* dest,
                                 int count) {
    const __m128i light = _mm_set1_epi16(static_cast<short>(lightOffset));
    const __m128i colourBytes = _mm_set1_epi32(0x00FFFFFF);
    const int tail = count % 8;
    for (int k = 0; k < count - tail; k += 8) {
        // Eight 16-bit additions whose carries are dropped: always a light-map cell.
        const __m128i indices =
            _mm_add_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(offsets + k)), light);
        const uint32_t lights03 =
            LightPair(lightMap, static_cast<uint32_t>(_mm_cvtsi128_si32(indices))) |
            LightPair(lightMap,
                      static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(indices, 1))))
                << 16;
        const uint32_t lights47 =
            LightPair(lightMap,
                      static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(indices, 2)))) |
            LightPair(lightMap,
                      static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(indices, 3))))
                << 16;
        // Each light byte spread over its pixel's blue, green and red; the top byte gets 0.
        __m128i lights = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(lights03)),
                                            _mm_cvtsi32_si128(static_cast<int>(lights47)));
        lights = _mm_unpacklo_epi8(lights, lights);
        const __m128i low = _mm_and_si128(_mm_unpacklo_epi16(lights, lights), colourBytes);
        const __m128i high = _mm_and_si128(_mm_unpackhi_epi16(lights, lights), colourBytes);
        // Unsigned saturating byte additions clamp each channel at 255 on its own.
        const __m128i pixels03 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(shaded + k));
        const __m128i pixels47 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(shaded + k + 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + k), _mm_adds_epu8(pixels03, low));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + k + 4), _mm_adds_epu8(pixels47, high));
    }
    const int done = count - tail;
    ShadePixels(offsets + done, shaded + done, lightMap, lightOffset, dest + done, tail);
}
