// The 15-, 16- and 24-bit conversions with SSE2: eight or sixteen pixels per step with
// shifts, masks and one multiply-add, no tables and no per-pixel branches. The pixels of
// a row that do not fill a step go through the plain code. Compiled for SSE2 by function
// attribute only, so a 32-bit build runs on older processors as long as these are not
// chosen.
#include "ConversionKernels.h"
#include "PixelConversion.h"

#include <emmintrin.h>

#define SSE2_KERNEL __attribute__((target("sse2")))

namespace {

SSE2_KERNEL inline __m128i Load(const uint32_t* source) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
}

SSE2_KERNEL inline void Store(uint8_t* dest, __m128i value) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), value);
}

// Four pixels as 5-5-5 values in the low halves of their 32-bit lanes. The result is
// built 64 times too large, where green's top five bits already stand in place; red and
// blue, masked to their top five bits, are moved there by one multiply-add (a multiply
// by a power of two is a shift).
SSE2_KERNEL inline __m128i FourTo15(__m128i pixels) {
    const __m128i redBlue = _mm_and_si128(pixels, _mm_set1_epi32(0x00F800F8));
    const __m128i green = _mm_and_si128(pixels, _mm_set1_epi32(0x0000F800));
    const __m128i moved = _mm_madd_epi16(redBlue, _mm_set1_epi32(8192 << 16 | 8));
    return _mm_srli_epi32(_mm_or_si128(moved, green), 6);
}

// Four pixels as 5-6-5 values, the same way from a value 32 times too large, and then
// sign-extended from 16 bits so that the signed saturating pack keeps every bit pattern.
SSE2_KERNEL inline __m128i FourTo16(__m128i pixels) {
    const __m128i redBlue = _mm_and_si128(pixels, _mm_set1_epi32(0x00F800F8));
    const __m128i green = _mm_and_si128(pixels, _mm_set1_epi32(0x0000FC00));
    const __m128i moved = _mm_madd_epi16(redBlue, _mm_set1_epi32(8192 << 16 | 4));
    return _mm_srai_epi32(_mm_slli_epi32(_mm_or_si128(moved, green), 11), 16);
}

// Four pixels as 12 packed bytes B G R B G R ... in the low 12 bytes, the top 4 zero.
SSE2_KERNEL inline __m128i FourTo24(__m128i pixels) {
    // In each 64-bit half: the second pixel's B G R moved down onto the first's top byte.
    const __m128i pairs =
        _mm_or_si128(_mm_and_si128(pixels, _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF)),
                     _mm_and_si128(_mm_srli_epi64(pixels, 8),
                                   _mm_set_epi32(0x0000FFFF, 0xFF000000, 0x0000FFFF, 0xFF000000)));
    // The upper half's six bytes put next to the lower half's six.
    const __m128i highSix = _mm_slli_si128(_mm_srli_si128(pairs, 8), 6);
    return _mm_or_si128(_mm_move_epi64(pairs), highSix);
}

} // namespace

SSE2_KERNEL void ConvertTo15Sse2(const uint32_t* source, uint8_t* dest, int width, int height,
                                 int32_t rowPadding) {
    const int tail = width % 8;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width - tail; x += 8) {
            // Values of at most 0x7FFF: the signed pack keeps them as they are.
            Store(dest, _mm_packs_epi32(FourTo15(Load(source)), FourTo15(Load(source + 4))));
            source += 8;
            dest += 16;
        }
        ConvertTo15(source, dest, tail, 1, 0);
        source += tail;
        dest += 2 * tail + rowPadding;
    }
}

SSE2_KERNEL void ConvertTo16Sse2(const uint32_t* source, uint8_t* dest, int width, int height,
                                 int32_t rowPadding) {
    const int tail = width % 8;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width - tail; x += 8) {
            Store(dest, _mm_packs_epi32(FourTo16(Load(source)), FourTo16(Load(source + 4))));
            source += 8;
            dest += 16;
        }
        ConvertTo16(source, dest, tail, 1, 0);
        source += tail;
        dest += 2 * tail + rowPadding;
    }
}

SSE2_KERNEL void ConvertTo24Sse2(const uint32_t* source, uint8_t* dest, int width, int height,
                                 int32_t rowPadding) {
    const int tail = width % 16;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width - tail; x += 16) {
            // Sixteen pixels, 48 bytes: three whole 16-byte stores, each written once and
            // never overlapped, so no store waits on another.
            const __m128i a = FourTo24(Load(source));
            const __m128i b = FourTo24(Load(source + 4));
            const __m128i c = FourTo24(Load(source + 8));
            const __m128i d = FourTo24(Load(source + 12));
            Store(dest, _mm_or_si128(a, _mm_slli_si128(b, 12)));
            Store(dest + 16, _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8)));
            Store(dest + 32, _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(d, 4)));
            source += 16;
            dest += 48;
        }
        ConvertTo24(source, dest, tail, 1, 0);
        source += tail;
        dest += 3 * tail + rowPadding;
    }
}
