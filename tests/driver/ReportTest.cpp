// The benchmark rate text and the animation counter: plain arithmetic, every target.
#include "Demo.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

std::string RateText(uint32_t frames, uint32_t ticks) {
    char text[64] = {};
    FormatFrameRate(frames, ticks, text, sizeof(text));
    return text;
}

TEST(FrameRateText, TwoDecimalsRoundedWithoutPadding) {
    struct Case {
        const char* label;
        uint32_t frames;
        uint32_t ticks;
        const char* text;
    };
    const Case cases[] = {
        {"100 frames in 5000 ms", 100, 5000, "20.00"},
        {"1 frame in 1234 ms keeps its leading 0", 1, 1234, "0.81"},
        {"7 frames in 1000 ms", 7, 1000, "7.00"},
        {"rounded down", 1, 3, "333.33"},
        {"rounded up", 2, 3, "666.67"},
        {"rounded up into the next unit", 19999, 1000001, "20.00"},
        {"far below one frame a second", 1, 4294967295u, "0.00"},
        {"operands taken unsigned, the product beyond 32 bits", 4294967295u, 1, "4294967295000.00"},
        {"no frames", 0, 50, "0.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(RateText(c.frames, c.ticks), c.text);
    }
}

TEST(FrameRateText, StaysInsideTheBuffer) {
    char text[4] = {'x', 'x', 'x', 'x'};
    FormatFrameRate(100, 5000, text, 3);
    EXPECT_STREQ(text, "20");
    EXPECT_EQ(text[3], 'x');

    char untouched[2] = {'x', 'x'};
    FormatFrameRate(100, 5000, untouched, 0);
    EXPECT_EQ(untouched[0], 'x');
}

TEST(AnimationCounter, WrapsToTheNegativeRangePastTheLargestValue) {
    EXPECT_EQ(NextAnimationTime(0), 1);
    EXPECT_EQ(NextAnimationTime(INT32_MAX), INT32_MIN);
    EXPECT_EQ(NextAnimationTime(INT32_MIN), INT32_MIN + 1);
    EXPECT_EQ(NextAnimationTime(-1), 0);
}

} // namespace
