// ShadePixels with SSE2. The light-map lookups stay scalar (a table read per pixel does
// not vectorise); the 16-bit index additions and the saturating channel additions are
// done sixteen pixels at a time. Compiled for SSE2 by function attribute only, so a 32-bit
// build runs on older processors as long as this is not chosen.
#include "BumpEffect.h"
#include "ShadeKernels.h"

#include <emmintrin.h>

// A build whose target has no x86 feature to name (WebAssembly, where the intrinsics become
// 128-bit SIMD) gives the attribute as empty.
#ifndef SSE2_KERNEL
#define SSE2_KERNEL __attribute__((target("sse2")))
#endif

namespace {

// The light values of the two pixels whose light-map indices share a 32-bit lane,
// as bytes 0 and 1.
SSE2_KERNEL inline uint32_t LightPair(const uint8_t* lightMap, uint32_t indices) {
    return uint32_t{lightMap[indices & 0xFFFF]} | uint32_t{lightMap[indices >> 16]} << 8;
}

// The light values of eight pixels, from their eight 16-bit light-map indices, as the
// low eight bytes. The indices leave the vector 32 bits at a time.
SSE2_KERNEL inline __m128i EightLights(const uint8_t* lightMap, __m128i indices) {
    const uint32_t first =
        LightPair(lightMap, static_cast<uint32_t>(_mm_cvtsi128_si32(indices))) |
        LightPair(lightMap, static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(indices, 1))))
            << 16;
    const uint32_t second =
        LightPair(lightMap,
                  static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(indices, 2)))) |
        LightPair(lightMap, static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(indices, 3))))
            << 16;
    return _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(first)),
                              _mm_cvtsi32_si128(static_cast<int>(second)));
}

// Eight pixels brightened by their light bytes. Each light byte is spread over its
// pixel's blue, green and red, with 0 for the top byte; unsigned saturating byte
// additions then clamp each channel at 255 on its own.
SSE2_KERNEL inline void ShadeEight(__m128i lights, const uint32_t* shaded, uint32_t* dest) {
    const __m128i doubled = _mm_unpacklo_epi8(lights, lights);               // l l
    const __m128i withZero = _mm_unpacklo_epi8(lights, _mm_setzero_si128()); // l 0
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(shaded));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(shaded + 4));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest),
                     _mm_adds_epu8(first, _mm_unpacklo_epi16(doubled, withZero)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + 4),
                     _mm_adds_epu8(second, _mm_unpackhi_epi16(doubled, withZero)));
}

} // namespace

SSE2_KERNEL void ShadePixelsSse2(const uint16_t* offsets, const uint32_t* shaded,
                                 const uint8_t* lightMap, uint16_t lightOffset, uint32_t* dest,
                                 int count) {
    const __m128i lightOffsets = _mm_set1_epi16(static_cast<short>(lightOffset));
    const int tail = count % 16;
    for (int k = 0; k < count - tail; k += 16) {
        // Sixteen 16-bit additions whose carries are dropped: always a light-map cell.
        const __m128i first = _mm_add_epi16(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(offsets + k)), lightOffsets);
        const __m128i second = _mm_add_epi16(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(offsets + k + 8)), lightOffsets);
        ShadeEight(EightLights(lightMap, first), shaded + k, dest + k);
        ShadeEight(EightLights(lightMap, second), shaded + k + 8, dest + k + 8);
    }
    const int done = count - tail;
    ShadePixels(offsets + done, shaded + done, lightMap, lightOffset, dest + done, tail);
}
