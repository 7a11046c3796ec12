// The light-map offset of every pixel, from the slope of the height field there.
#include "BumpEffect.h"

namespace {

// The height at a linear index of the field, read as if one more row followed the bottom
// row: that row is a copy of the bottom row. So the pixels of the bottom row have their
// own heights below them, and the right neighbour of the very last pixel (index 64000)
// is the first height of the copy, the bottom row's first pixel. Nothing outside the
// field's 64000 bytes is read.
uint8_t ExtendedHeight(const uint8_t* heights, int index) {
    return index < EffectPixels ? heights[index] : heights[index - EffectWidth];
}

} // namespace

void ComputeBumpOffsets() {
    const uint8_t* heights = SelectedHeightMap;
    for (int i = 0; i < EffectPixels; ++i) {
        const int row = i / EffectWidth;
        const int column = i % EffectWidth;
        // Linear reading: the right neighbour of column 319 is the next row's first pixel.
        const uint8_t right = ExtendedHeight(heights, i + 1);
        const uint8_t dX = static_cast<uint8_t>(right - heights[i]);
        const uint8_t dY = static_cast<uint8_t>(right - ExtendedHeight(heights, i + EffectWidth));
        // Position terms: 160/100 at the left/top edge, falling to 0 at the right/bottom.
        const int hx = (EffectWidth - column) / 2;
        const int hy = (EffectHeight - row) / 2;
        // One 16-bit addition: the low byte's carry moves into the high byte, the high
        // byte's carry is dropped.
        BumpOffsets[i] = static_cast<uint16_t>((dY << 8 | dX) + (hy << 8 | hx));
    }
}
