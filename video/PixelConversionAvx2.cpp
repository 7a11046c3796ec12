// The conversions with AVX2: sixteen or thirty-two pixels per step; at 32 bits whole-row
// copies.
// Compiled for AVX2 by function attribute only; PresentFrame reaches them only on a
// processor that has it. Each function clears the upper register halves before it
// returns, so that the SSE code around it runs at full speed.
#include "ConversionKernels.h"

#include <immintrin.h>

#include <cstring>

#define AVX2_KERNEL __attribute__((target("avx2")))

namespace {

AVX2_KERNEL inline __m256i Load(const uint32_t* source) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source));
}

AVX2_KERNEL inline void Store(uint8_t* dest, __m256i value) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest), value);
}

// Eight pixels as 5-5-5 values in the low halves of their 32-bit lanes, built 64 times
// too large where green's top five bits already stand; one multiply-add moves red and
// blue (see the SSE2 version).
AVX2_KERNEL inline __m256i EightTo15(__m256i pixels) {
    const __m256i redBlue = _mm256_and_si256(pixels, _mm256_set1_epi32(0x00F800F8));
    const __m256i green = _mm256_and_si256(pixels, _mm256_set1_epi32(0x0000F800));
    const __m256i moved = _mm256_madd_epi16(redBlue, _mm256_set1_epi32(8192 << 16 | 8));
    return _mm256_srli_epi32(_mm256_or_si256(moved, green), 6);
}

// Eight pixels as 5-6-5 values, built 32 times too large.
AVX2_KERNEL inline __m256i EightTo16(__m256i pixels) {
    const __m256i redBlue = _mm256_and_si256(pixels, _mm256_set1_epi32(0x00F800F8));
    const __m256i green = _mm256_and_si256(pixels, _mm256_set1_epi32(0x0000FC00));
    const __m256i moved = _mm256_madd_epi16(redBlue, _mm256_set1_epi32(8192 << 16 | 4));
    return _mm256_srli_epi32(_mm256_or_si256(moved, green), 5);
}

// Sixteen 16-bit values from two sets of eight 32-bit lanes, in pixel order. The values
// are at most 0xFFFF, so the unsigned saturating pack keeps them exactly; it works per
// 128-bit half, and the 64-bit permute puts the halves back in order.
AVX2_KERNEL inline __m256i PackInOrder(__m256i first, __m256i second) {
    return _mm256_permute4x64_epi64(_mm256_packus_epi32(first, second), 0xD8);
}

// The plain per-pixel expressions for the pixels of a row that do not fill a step.
AVX2_KERNEL inline void StoreWord(uint8_t* dest, uint32_t value) {
    dest[0] = static_cast<uint8_t>(value);
    dest[1] = static_cast<uint8_t>(value >> 8);
}

} // namespace

AVX2_KERNEL void ConvertTo15Avx2(const uint32_t* source, uint8_t* dest, int width, int height,
                                 int32_t rowPadding) {
    const int tail = width % 16;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width - tail; x += 16) {
            Store(dest, PackInOrder(EightTo15(Load(source)), EightTo15(Load(source + 8))));
            source += 16;
            dest += 32;
        }
        for (int x = 0; x < tail; ++x) {
            const uint32_t p = *source++;
            StoreWord(dest, ((p >> 19) & 0x1F) << 10 | ((p >> 11) & 0x1F) << 5 | ((p >> 3) & 0x1F));
            dest += 2;
        }
        dest += rowPadding;
    }
    _mm256_zeroupper();
}

AVX2_KERNEL void ConvertTo16Avx2(const uint32_t* source, uint8_t* dest, int width, int height,
                                 int32_t rowPadding) {
    const int tail = width % 16;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width - tail; x += 16) {
            Store(dest, PackInOrder(EightTo16(Load(source)), EightTo16(Load(source + 8))));
            source += 16;
            dest += 32;
        }
        for (int x = 0; x < tail; ++x) {
            const uint32_t p = *source++;
            StoreWord(dest, ((p >> 19) & 0x1F) << 11 | ((p >> 10) & 0x3F) << 5 | ((p >> 3) & 0x1F));
            dest += 2;
        }
        dest += rowPadding;
    }
    _mm256_zeroupper();
}

AVX2_KERNEL void ConvertTo24Avx2(const uint32_t* source, uint8_t* dest, int width, int height,
                                 int32_t rowPadding) {
    // Per 128-bit half: the four pixels' B G R bytes packed into the low 12 bytes.
    const __m256i packHalves =
        _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5, 6,
                         8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    // Each group of eight pixels then holds its 24 bytes in 32-bit lanes 0, 1, 2, 4, 5, 6.
    // These permutes place them where they go in the three 32-byte stores of 32 pixels:
    // store 1 = a a a a a a b b, store 2 = b b b b c c c c, store 3 = c c d d d d d d.
    const __m256i placeA = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 0, 0);
    const __m256i placeB = _mm256_setr_epi32(2, 4, 5, 6, 0, 0, 0, 1);
    const __m256i placeC = _mm256_setr_epi32(5, 6, 0, 0, 0, 1, 2, 4);
    const __m256i placeD = _mm256_setr_epi32(0, 0, 0, 1, 2, 4, 5, 6);
    const int tail = width % 32;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width - tail; x += 32) {
            const __m256i a =
                _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(Load(source), packHalves), placeA);
            const __m256i b = _mm256_permutevar8x32_epi32(
                _mm256_shuffle_epi8(Load(source + 8), packHalves), placeB);
            const __m256i c = _mm256_permutevar8x32_epi32(
                _mm256_shuffle_epi8(Load(source + 16), packHalves), placeC);
            const __m256i d = _mm256_permutevar8x32_epi32(
                _mm256_shuffle_epi8(Load(source + 24), packHalves), placeD);
            // Three whole stores, none overlapping another: nothing waits on a store.
            Store(dest, _mm256_blend_epi32(a, b, 0xC0));
            Store(dest + 32, _mm256_blend_epi32(b, c, 0xF0));
            Store(dest + 64, _mm256_blend_epi32(c, d, 0xFC));
            source += 32;
            dest += 96;
        }
        for (int x = 0; x < tail; ++x) {
            const uint32_t p = *source++;
            dest[0] = static_cast<uint8_t>(p);
            dest[1] = static_cast<uint8_t>(p >> 8);
            dest[2] = static_cast<uint8_t>(p >> 16);
            dest += 3;
        }
        dest += rowPadding;
    }
    _mm256_zeroupper();
}

AVX2_KERNEL void ConvertTo32Avx2(const uint32_t* source, uint8_t* dest, int width, int height,
                                 int32_t rowPadding) {
    // The surface format is the frame's own: each row is copied whole, in line. The
    // stores go to 32-byte aligned addresses (none splits a cache line); the row's first
    // and last 32 bytes are stored unaligned and may overlap the aligned ones, which
    // write the same bytes.
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    if (rowPadding == 0 && height > 0) {
        // Rows that follow each other without a gap are one block: one copy, the floor.
        std::memcpy(dest, source, rowBytes * static_cast<size_t>(height));
        return;
    }
    for (int y = 0; y < height; ++y) {
        const auto* from = reinterpret_cast<const uint8_t*>(source);
        if (rowBytes >= 32) {
            const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
            const __m256i last =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + rowBytes - 32));
            size_t at = 32 - (reinterpret_cast<uintptr_t>(dest) & 31);
            for (; at + 128 <= rowBytes; at += 128) {
                const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + at));
                const __m256i b =
                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + at + 32));
                const __m256i c =
                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + at + 64));
                const __m256i d =
                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + at + 96));
                Store(dest + at, a);
                Store(dest + at + 32, b);
                Store(dest + at + 64, c);
                Store(dest + at + 96, d);
            }
            for (; at + 32 <= rowBytes; at += 32)
                Store(dest + at, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + at)));
            Store(dest, first);
            Store(dest + rowBytes - 32, last);
        } else {
            for (size_t at = 0; at < rowBytes; ++at)
                dest[at] = from[at];
        }
        source += width;
        dest += rowBytes + rowPadding;
    }
    _mm256_zeroupper();
}
