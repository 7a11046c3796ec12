// The stand-in's units and a scaled desktop's physical pixels: places both ways, and the
// desktop the program sees.
#include "Screen.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(ScreenUnits, PixelsAndUnitsBothWays) {
    const struct {
        const char* label;
        int pixels, scale;
        LONG units;
    } cases[] = {
        {"scale 1: the same", 333, 1, 333},
        {"scale 2, on a unit's first pixel", 960, 2, 480},
        {"scale 2, on its second pixel", 961, 2, 480},
        {"scale 3, the unit's last pixel", 8, 3, 2},
        {"the origin", 0, 2, 0},
        {"left of the origin, a unit's last pixel", -1, 2, -1},
        {"left of the origin, a unit's first pixel", -4, 2, -2},
        {"left of the origin, between", -5, 3, -2},
        {"the smallest place", INT_MIN, 2, INT_MIN / 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(UnitsOfPixels(c.pixels, c.scale), c.units);
        // The unit's first pixel is at or before the pixel, the next unit's after it: a place
        // the program set comes back from SDL unchanged.
        EXPECT_LE(PixelsOfUnits(c.units, c.scale), c.pixels);
        EXPECT_GT(PixelsOfUnits(static_cast<long long>(c.units) + 1, c.scale), c.pixels);
    }
}

// The desktop the program sees is the physical one in units: as Windows shows it to a
// program without DPI awareness.
TEST(ScreenUnits, DesktopDescribedInUnits) {
    const struct {
        const char* label;
        int width, height, scale;
        int desktopWidth, desktopHeight;
    } cases[] = {
        {"100 %", 2560, 1600, 1, 2560, 1600},
        {"200 %", 2560, 1600, 2, 1280, 800},
        {"300 %", 3840, 2160, 3, 1280, 720},
        {"odd sizes: the whole units", 1921, 1081, 2, 960, 540},
        {"smaller than a unit: one", 2, 1, 3, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        StandInDisplay display;
        DescribeDesktopMode(
            SDL_DisplayMode{SDL_PIXELFORMAT_XRGB8888, c.width, c.height, 60, nullptr}, c.scale,
            &display);
        EXPECT_EQ(display.desktopWidth, c.desktopWidth);
        EXPECT_EQ(display.desktopHeight, c.desktopHeight);
        EXPECT_EQ(display.desktopBitsPerPixel, 32);
    }
}

} // namespace
