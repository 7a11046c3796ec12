// The light-map offsets computed from the height field's slopes.
#include "EffectFixture.h"

namespace {

constexpr int Index(int row, int column) {
    return row * EffectWidth + column;
}

class Offsets : public ReadyEffect {
  protected:
    // Recomputes BumpOffsets from `heights`, a buffer of exactly 64000 bytes, so that a
    // read outside the field is caught by the address sanitizer.
    void Compute() {
        SelectedHeightMap = heights.data();
        ComputeBumpOffsets();
    }
    std::vector<uint8_t> heights = std::vector<uint8_t>(EffectPixels, 0);
};

TEST_F(Offsets, FlatFieldGivesThePositionTermsAlone) {
    for (const uint8_t level : {0, 77, 255}) {
        SCOPED_TRACE(testing::Message() << "height " << int(level));
        heights.assign(EffectPixels, level);
        Compute();
        EXPECT_EQ(BumpOffsets[Index(0, 0)], 25760);
        EXPECT_EQ(BumpOffsets[Index(0, 1)], 25759);
        EXPECT_EQ(BumpOffsets[Index(0, 2)], 25759);
        EXPECT_EQ(BumpOffsets[Index(0, 319)], 25600);
        EXPECT_EQ(BumpOffsets[Index(1, 0)], 25504);
        EXPECT_EQ(BumpOffsets[Index(2, 0)], 25504);
        EXPECT_EQ(BumpOffsets[Index(199, 0)], 160);
        EXPECT_EQ(BumpOffsets[Index(199, 319)], 0);
    }
}

TEST_F(Offsets, SlopesOfTheTopLeftPixel) {
    {
        SCOPED_TRACE("falls by 1 to the right, pixel below as high as the right neighbour");
        heights[Index(0, 0)] = 41;
        heights[Index(0, 1)] = 40;
        heights[Index(1, 0)] = 40;
        Compute();
        EXPECT_EQ(BumpOffsets[0], 26015); // row 101, column 159
    }
    {
        SCOPED_TRACE("heights 10, right 12, below 20");
        heights[Index(0, 0)] = 10;
        heights[Index(0, 1)] = 12;
        heights[Index(1, 0)] = 20;
        Compute();
        EXPECT_EQ(BumpOffsets[0], 23714); // row 92, column 162
    }
}

TEST_F(Offsets, RightNeighbourOfTheLastColumnIsTheNextRowsFirstPixel) {
    heights[Index(5, 0)] = 9;
    Compute();
    // Row 4, column 319: dX = 9, dY = 9 - 0 = 9 over the position terms hx 0, hy 98.
    EXPECT_EQ(BumpOffsets[Index(4, 319)], (98 + 9) * 256 + 9);
    // Row 5, column 318 does not see it: its right neighbour is in its own row.
    EXPECT_EQ(BumpOffsets[Index(5, 318)], 97 * 256 + 1);
}

TEST_F(Offsets, BottomRowReadsACopyOfItselfBelow) {
    heights[Index(199, 0)] = 7;
    heights[Index(199, 200)] = 30;
    heights[Index(199, 319)] = 2;
    Compute();
    {
        SCOPED_TRACE("last pixel: right neighbour is the copy's first height, 7");
        EXPECT_EQ(BumpOffsets[Index(199, 319)], 5 * 256 + 5);
    }
    {
        SCOPED_TRACE("bottom-left pixel: below it its own height");
        EXPECT_EQ(BumpOffsets[Index(199, 0)], uint16_t(249 * 256 + 249 + 160));
    }
    {
        SCOPED_TRACE("the pixel left of a bump: dX = dY = 30");
        EXPECT_EQ(BumpOffsets[Index(199, 199)], 30 * 256 + 30 + 60);
    }
}

TEST_F(Offsets, CarryOutOfTheHighByteIsDropped) {
    // Top-left pixel as high as its right neighbour, 200 above the pixel below:
    // dY 200 + hy 100 = 300 leaves row 44.
    heights[Index(0, 0)] = 200;
    heights[Index(0, 1)] = 200;
    Compute();
    EXPECT_EQ(BumpOffsets[0], 44 * 256 + 160);
}

} // namespace
