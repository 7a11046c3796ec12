// The light's path and whole frames.
#include "EffectFixture.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace {

using Frames = ReadyEffect;

TEST_F(Frames, LightPositionsAlongThePath) {
    const struct {
        int32_t time;
        int32_t x;
        int32_t y;
    } cases[] = {
        {0, 50, 105}, {1, 56, 105},  {11, 90, 98},  {22, 53, 81},  {30, 15, 68},
        {33, 10, 63}, {45, 50, 55},  {56, 90, 62},  {60, 85, 67},  {67, 53, 79},
        {78, 10, 97}, {89, 44, 105}, {90, 50, 105}, {-1, 44, 105},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "time " << c.time);
        RenderBumpFrame(c.time);
        EXPECT_EQ(LightX, c.x);
        EXPECT_EQ(LightY, c.y);
    }
    for (const int32_t time : {15, 75}) {
        SCOPED_TRACE(testing::Message() << "time " << time << ", a half before rounding");
        RenderBumpFrame(time);
        EXPECT_TRUE(LightY == 92 || LightY == 93) << LightY;
    }
}

TEST_F(Frames, TimesNinetyApartGiveTheSameFrame) {
    for (const int32_t time : {0, 1, 15, 44, -1, -15, -30, -60, -90, INT32_MIN, INT32_MAX - 90}) {
        SCOPED_TRACE(testing::Message() << "time " << time);
        RenderBumpFrame(time);
        const std::vector<uint32_t> first = frame;
        const int32_t phase = LightPhase;
        RenderBumpFrame(time + 90);
        EXPECT_EQ(LightPhase, phase);
        EXPECT_TRUE(first == frame);
    }
}

TEST_F(Frames, EveryPixelIsWrittenWithTheTopByteKept) {
    for (const int32_t time : {1, 33, 78}) {
        SCOPED_TRACE(testing::Message() << "time " << time);
        std::fill(frame.begin(), frame.end(), 0x00ABCDEF);
        RenderBumpFrame(time);
        EXPECT_TRUE(std::all_of(frame.begin(), frame.end(),
                                [](uint32_t pixel) { return pixel >> 24 == 0xFF; }));
    }
}

TEST_F(Frames, OnAFlatFieldTheSpotCentreFollowsThePath) {
    // Flat relief and a black picture: the frame shows the light map itself, and the
    // centre cell (the only 255) covers 2 x 2 pixels.
    const std::vector<uint8_t> flat(EffectPixels, 50);
    SelectedHeightMap = flat.data();
    ComputeBumpOffsets();
    std::fill(ShadedImage, ShadedImage + EffectPixels, 0xFF000000);
    const struct {
        int32_t time;
        int row;
        int column;
    } cases[] = {{1, 153, 175}, {45, 53, 163}, {11, 139, 243}, {33, 69, 83}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "time " << c.time);
        RenderBumpFrame(c.time);
        std::vector<int> white;
        for (int k = 0; k < EffectPixels; ++k)
            if (frame[k] == 0xFFFFFFFF)
                white.push_back(k);
        const int top = c.row * EffectWidth + c.column;
        EXPECT_EQ(white,
                  (std::vector<int>{top, top + 1, top + EffectWidth, top + EffectWidth + 1}));
    }
}

TEST_F(Frames, OnTheStoredReliefTheSpotStaysOnThePath) {
    // The core of the spot (light 240 or more) as the relief scatters it: its median
    // pixel lies near column 164 + 80 sin(8 phase degrees), row 104 + 50 cos(4 phase degrees).
    for (const int32_t time : {1, 11, 45, 78}) {
        SCOPED_TRACE(testing::Message() << "time " << time);
        RenderBumpFrame(time);
        const uint16_t light = static_cast<uint16_t>(LightY << 8 | LightX);
        std::vector<int> rows;
        std::vector<int> columns;
        for (int k = 0; k < EffectPixels; ++k)
            if (SelectedLightMap[static_cast<uint16_t>(BumpOffsets[k] + light)] >= 240) {
                rows.push_back(k / EffectWidth);
                columns.push_back(k % EffectWidth);
            }
        ASSERT_GT(rows.size(), 20u);
        std::sort(rows.begin(), rows.end());
        std::sort(columns.begin(), columns.end());
        const double degree = std::numbers::pi / 180.0;
        EXPECT_NEAR(rows[rows.size() / 2], 104 + 50 * std::cos(4 * time * degree), 4.0);
        EXPECT_NEAR(columns[columns.size() / 2], 164 + 80 * std::sin(8 * time * degree), 4.0);
    }
}

TEST_F(Frames, GoldenFrames) {
    // Any change to the stored tables or to the shading changes these.
    RenderBumpFrame(1);
    EXPECT_EQ(FrameHash(frame), 0xC4E275378D5449EFu) << "time 1";
    RenderBumpFrame(45);
    EXPECT_EQ(FrameHash(frame), 0xBECFF7F883BCEBE5u) << "time 45";
}

} // namespace
