// The stored tables as compiled into the program.
#include "BumpEffect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

namespace {

int HeightAt(int row, int column) {
    return HeightMap[row * EffectWidth + column];
}

TEST(HeightField, Statistics) {
    std::vector<int> sorted(HeightMap, HeightMap + EffectPixels);
    std::sort(sorted.begin(), sorted.end());
    const double mean = [&] {
        long sum = 0;
        for (const int height : sorted)
            sum += height;
        return double(sum) / EffectPixels;
    }();
    EXPECT_EQ(sorted.front(), 3);
    EXPECT_EQ(sorted.back(), 255);
    EXPECT_EQ(std::set<int>(sorted.begin(), sorted.end()).size(), 78u);
    EXPECT_EQ(sorted[EffectPixels / 2 - 1], 38) << "median";
    EXPECT_EQ(sorted[EffectPixels / 2], 38) << "median";
    EXPECT_LE(sorted[EffectPixels * 3 / 4 - 1], 63) << "three quarters at 63 or less";
    EXPECT_NEAR(mean, 50.0, 3.0);
}

TEST(HeightField, IrregularOverTheWholeFrame) {
    {
        SCOPED_TRACE("does not repeat: no shift matches half of the field");
        for (int dx = 1; dx <= EffectWidth / 2; ++dx) {
            int same = 0;
            for (int row = 0; row < EffectHeight; ++row)
                for (int column = 0; column + dx < EffectWidth; ++column)
                    same += HeightAt(row, column) == HeightAt(row, column + dx);
            EXPECT_LT(same * 2, EffectHeight * (EffectWidth - dx)) << "dx " << dx;
        }
        for (int dy = 1; dy <= EffectHeight / 2; ++dy) {
            int same = 0;
            for (int row = 0; row + dy < EffectHeight; ++row)
                for (int column = 0; column < EffectWidth; ++column)
                    same += HeightAt(row, column) == HeightAt(row + dy, column);
            EXPECT_LT(same * 2, EffectWidth * (EffectHeight - dy)) << "dy " << dy;
        }
    }
    {
        SCOPED_TRACE("fine relief and high ridges in every 80 x 50 block");
        for (int blockRow = 0; blockRow < EffectHeight; blockRow += 50)
            for (int blockColumn = 0; blockColumn < EffectWidth; blockColumn += 80) {
                int sloped = 0;
                int high = 0;
                for (int row = blockRow; row < blockRow + 50; ++row)
                    for (int column = blockColumn; column < blockColumn + 79; ++column) {
                        sloped += HeightAt(row, column) != HeightAt(row, column + 1);
                        high += HeightAt(row, column) >= 150;
                    }
                EXPECT_GT(sloped, 50 * 79 / 2) << "block " << blockRow << ", " << blockColumn;
                EXPECT_GT(high, 0) << "block " << blockRow << ", " << blockColumn;
            }
    }
}

// The spot's profile: round(174 (1 - d/128) + 81 (1 - d/56)^2), the second term only
// below d = 56, 0 from d = 128 on.
int Profile(double d) {
    if (d >= 128.0)
        return 0;
    const double near = d < 56.0 ? 1.0 - d / 56.0 : 0.0;
    return static_cast<int>(std::lround(174.0 * (1.0 - d / 128.0) + 81.0 * near * near));
}

int LightAt(int row, int column) {
    return LightMap[row * LightMapSize + column];
}

TEST(LightSpot, FollowsTheProfile) {
    int brightest = 0;
    int outside = 0;
    int outsideLit = 0;
    for (int row = 0; row < LightMapSize; ++row)
        for (int column = 0; column < LightMapSize; ++column) {
            const double d = std::hypot(row - 128, column - 128);
            const int value = LightAt(row, column);
            brightest += value == 255;
            ASSERT_LE(std::abs(value - Profile(d)), 3) << "row " << row << ", column " << column;
            if (d >= 128.0) {
                ASSERT_LE(value, 1) << "row " << row << ", column " << column;
                ++outside;
                outsideLit += value;
            }
        }
    EXPECT_EQ(LightAt(128, 128), 255);
    EXPECT_EQ(brightest, 1) << "the centre is the only 255";
    EXPECT_NEAR(double(outsideLit) / outside, 1.0 / 15.0, 0.02) << "one in fifteen outside lit";
}

TEST(LightSpot, TypicalValuesByDistance) {
    const struct {
        int d;
        int value;
    } table[] = {{1, 250},  {2, 246}, {4, 238}, {8, 223},  {16, 192}, {32, 143},
                 {48, 112}, {64, 86}, {80, 64}, {100, 37}, {120, 10}, {124, 5}};
    for (const auto& entry : table) {
        SCOPED_TRACE(testing::Message() << "d " << entry.d);
        // The four cells on the axes at this distance.
        for (const auto& [dr, dc] : {std::pair{0, 1}, {0, -1}, {1, 0}, {-1, 0}})
            EXPECT_NEAR(LightAt(128 + dr * entry.d, 128 + dc * entry.d), entry.value, 3);
    }
    {
        SCOPED_TRACE("cells at equal distance differ by a few levels");
        std::set<int> atFive; // (+-3, +-4), (+-4, +-3) and the axes
        for (const auto& [dr, dc] : {std::pair{3, 4},
                                     {4, 3},
                                     {-3, 4},
                                     {-4, 3},
                                     {3, -4},
                                     {4, -3},
                                     {-3, -4},
                                     {-4, -3},
                                     {0, 5},
                                     {5, 0},
                                     {0, -5},
                                     {-5, 0}})
            atFive.insert(LightAt(128 + dr, 128 + dc));
        EXPECT_GT(atFive.size(), 1u);
        EXPECT_LE(*atFive.rbegin() - *atFive.begin(), 6);
    }
}

} // namespace
