// The 15- and 16-bit conversions with NEON (every arm64 processor): sixteen pixels per step,
// loaded with their bytes sorted into blue, green, red and top planes, and stored as whole
// 16-bit values. The pixels of a row that do not fill a step go through the plain code.
// (GCC vectorises the plain 24-bit loop itself, into two loads, seven unzips and one
// interleaving store of three planes per sixteen pixels, so that one stays plain.)
#include "ConversionKernels.h"
#include "PixelConversion.h"

#include <arm_neon.h>

namespace {

// Eight pixels' planes as 5-6-5 values: red's top bits in place, green and blue inserted
// below them by shift-right-and-insert, which keeps the bits above.
inline uint16x8_t EightTo16(uint8x8_t red, uint8x8_t green, uint8x8_t blue) {
    const uint16x8_t redGreen = vsriq_n_u16(vshll_n_u8(red, 8), vshll_n_u8(green, 8), 5);
    return vsriq_n_u16(redGreen, vshll_n_u8(blue, 8), 11);
}

// The same as 5-5-5: built one bit too high (red, green over 5 bits, blue over 6), then
// moved down, which clears the top bit.
inline uint16x8_t EightTo15(uint8x8_t red, uint8x8_t green, uint8x8_t blue) {
    const uint16x8_t redGreen = vsriq_n_u16(vshll_n_u8(red, 8), vshll_n_u8(green, 8), 5);
    return vshrq_n_u16(vsriq_n_u16(redGreen, vshll_n_u8(blue, 8), 10), 1);
}

// Sixteen pixels as two 16-bit vectors, written as 32 little-endian bytes.
template <uint16x8_t (*Eight)(uint8x8_t, uint8x8_t, uint8x8_t)>
inline void SixteenTo16Bits(const uint32_t* source, uint8_t* dest) {
    const uint8x16x4_t planes = vld4q_u8(reinterpret_cast<const uint8_t*>(source));
    const uint16x8_t low =
        Eight(vget_low_u8(planes.val[2]), vget_low_u8(planes.val[1]), vget_low_u8(planes.val[0]));
    const uint16x8_t high = Eight(vget_high_u8(planes.val[2]), vget_high_u8(planes.val[1]),
                                  vget_high_u8(planes.val[0]));
    vst1q_u8(dest, vreinterpretq_u8_u16(low));
    vst1q_u8(dest + 16, vreinterpretq_u8_u16(high));
}

template <uint16x8_t (*Eight)(uint8x8_t, uint8x8_t, uint8x8_t),
          void (*Plain)(const uint32_t*, uint8_t*, int, int, int32_t)>
void ConvertTo16Bits(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding) {
    const int tail = width % 16;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width - tail; x += 16) {
            SixteenTo16Bits<Eight>(source, dest);
            source += 16;
            dest += 32;
        }
        Plain(source, dest, tail, 1, 0);
        source += tail;
        dest += 2 * tail + rowPadding;
    }
}

} // namespace

void ConvertTo15Neon(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding) {
    ConvertTo16Bits<EightTo15, ConvertTo15>(source, dest, width, height, rowPadding);
}

void ConvertTo16Neon(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding) {
    ConvertTo16Bits<EightTo16, ConvertTo16>(source, dest, width, height, rowPadding);
}
