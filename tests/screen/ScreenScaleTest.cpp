// The whole factor a scaled desktop's settings give.
#include "Screen.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(ScreenScale, WholeFactorFromTheDesktopSettings) {
    const struct {
        const char* label;
        const char* gdkScale;
        double xftDpi;
        int factor;
    } cases[] = {
        {"nothing set: 100 %", nullptr, 0, 1},
        {"96 dpi", nullptr, 96, 1},
        {"120 dpi (125 %) rounds down", nullptr, 120, 1},
        {"144 dpi (150 %) rounds up", nullptr, 144, 2},
        {"192 dpi (200 %)", nullptr, 192, 2},
        {"288 dpi (300 %)", nullptr, 288, 3},
        {"72 dpi is never below 1", nullptr, 72, 1},
        {"an absurd dpi is held to the largest factor", nullptr, 1e9, MaximumScale},
        {"not a number", nullptr, std::nan(""), 1},
        {"GDK_SCALE wins over Xft.dpi", "3", 96, 3},
        {"GDK_SCALE=1 on a 192-dpi desktop", "1", 192, 1},
        {"GDK_SCALE not a whole number: Xft.dpi", "1.5", 192, 2},
        {"GDK_SCALE 0: Xft.dpi", "0", 96, 1},
        {"GDK_SCALE empty: Xft.dpi", "", 144, 2},
        {"GDK_SCALE beyond the largest factor: Xft.dpi", "100", 96, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(ScaleForSettings(c.gdkScale, c.xftDpi), c.factor);
    }
}
