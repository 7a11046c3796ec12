// The stand-in's screen pixels on an SDL surface: each depth's colours, whole-factor
// enlargement by nearest pixel, and the cut at the surface's edges; and the desktop the
// stand-in describes for the display's pixel format.
#include "Screen.h"
#include "SurfacePixels.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using SurfacePointer = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

SurfacePointer NewSurface(int width, int height, Uint32 format) {
    return SurfacePointer(SDL_CreateRGBSurfaceWithFormat(0, width, height, 0, format),
                          SDL_FreeSurface);
}

TEST(ScreenPixels, ColoursAtEachDepth) {
    // Red 0x12, green 0x34, blue 0x56 (top byte 0x80) in each of the screen's layouts.
    const struct {
        const char* label;
        int bits;
        DWORD redMask16;
        std::vector<uint8_t> pixel;
        int redBits, greenBits, blueBits; // what the layout keeps of each channel
        uint8_t red, green, blue;         // the kept bits
    } cases[] = {
        {"32 bits: unchanged", 32, 0, {0x56, 0x34, 0x12, 0x80}, 8, 8, 8, 0x12, 0x34, 0x56},
        {"24 bits: blue, green, red", 24, 0, {0x56, 0x34, 0x12}, 8, 8, 8, 0x12, 0x34, 0x56},
        {"16 bits 5-6-5", 16, 0xF800, {0xAA, 0x11}, 5, 6, 5, 0x02, 0x0D, 0x0A},
        {"16 bits 5-5-5", 16, 0x7C00, {0xCA, 0x08}, 5, 5, 5, 0x02, 0x06, 0x0A},
        {"15 bits", 15, 0xF800, {0xCA, 0x08}, 5, 5, 5, 0x02, 0x06, 0x0A},
        {"16 bits, white stays white", 16, 0xF800, {0xFF, 0xFF}, 8, 8, 8, 0xFF, 0xFF, 0xFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        SurfacePointer target = NewSurface(1, 1, SDL_PIXELFORMAT_XRGB8888);
        ASSERT_TRUE(DrawPixels(c.pixel.data(), ScreenPixelFormat(c.bits, c.redMask16), 1, 1,
                               target.get(), 0, 0, 1));
        const SDL_Color shown = ColourAt(target.get(), 0, 0);
        EXPECT_EQ(shown.r >> (8 - c.redBits), c.red);
        EXPECT_EQ(shown.g >> (8 - c.greenBits), c.green);
        EXPECT_EQ(shown.b >> (8 - c.blueBits), c.blue);
    }
}

TEST(ScreenPixels, SameFormatCopiedExactly) {
    SCOPED_TRACE("16-bit screen on a 16-bit display");
    const uint8_t pixel[] = {0xAA, 0x11};
    SurfacePointer target = NewSurface(1, 1, SDL_PIXELFORMAT_RGB565);
    ASSERT_TRUE(DrawPixels(pixel, ScreenPixelFormat(16, 0xF800), 1, 1, target.get(), 0, 0, 1));
    EXPECT_EQ(PixelAt(target.get(), 0, 0), 0x11AAu);
}

TEST(ScreenPixels, NoColoursOfItsOwn) {
    const uint8_t pixel[] = {1};
    SurfacePointer target = NewSurface(1, 1, SDL_PIXELFORMAT_XRGB8888);
    EXPECT_EQ(ScreenPixelFormat(8, 0), static_cast<Uint32>(SDL_PIXELFORMAT_UNKNOWN));
    EXPECT_FALSE(DrawPixels(pixel, ScreenPixelFormat(8, 0), 1, 1, target.get(), 0, 0, 1));
}

TEST(ScreenPixels, WholeScaleFactors) {
    const struct {
        const char* label;
        int displayWidth, displayHeight, factor;
    } cases[] = {
        {"1024 x 768", 1024, 768, 3},     {"1280 x 1024", 1280, 1024, 4},
        {"1920 x 1080", 1920, 1080, 5},   {"exactly 320 x 200", 320, 200, 1},
        {"one pixel short", 639, 400, 1}, {"smaller than the picture", 300, 100, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(WholeScaleFactor(320, 200, c.displayWidth, c.displayHeight), c.factor);
    }
}

// Each target pixel is its source pixel's (nearest, whole factor) or, outside the
// enlarged picture, untouched.
void ExpectEnlarged(const SDL_Surface* target, const Uint32 source[2][2], int x, int y, int factor,
                    Uint32 untouched) {
    for (int ty = 0; ty < target->h; ++ty) {
        for (int tx = 0; tx < target->w; ++tx) {
            const bool inside = tx >= x && tx < x + 2 * factor && ty >= y && ty < y + 2 * factor;
            const Uint32 expected =
                inside ? source[(ty - y) / factor][(tx - x) / factor] : untouched;
            ASSERT_EQ(PixelAt(target, tx, ty), expected) << "at (" << tx << "," << ty << ")";
        }
    }
}

TEST(ScreenPixels, EnlargedByNearestPixelAndCut) {
    const Uint32 source[2][2] = {{0x00010203, 0x00111213}, {0x00212223, 0x00313233}};
    const Uint32 untouched = 0x00ABCDEF;
    const struct {
        const char* label;
        int width, height, x, y, factor;
    } cases[] = {
        {"one to one", 4, 4, 1, 1, 1},
        {"three times, inside", 10, 9, 1, 2, 3},
        {"cut at the top and left", 4, 4, -2, -1, 3},
        {"cut at the bottom and right", 5, 5, 2, 3, 2},
        {"entirely outside", 3, 3, 5, 5, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        SurfacePointer target = NewSurface(c.width, c.height, SDL_PIXELFORMAT_XRGB8888);
        SDL_FillRect(target.get(), nullptr, untouched);
        ASSERT_TRUE(DrawPixels(reinterpret_cast<const uint8_t*>(source), SDL_PIXELFORMAT_XRGB8888,
                               2, 2, target.get(), c.x, c.y, c.factor));
        ExpectEnlarged(target.get(), source, c.x, c.y, c.factor, untouched);
    }
}

// The depth Windows would report for each desktop format, and the display modes offered:
// none on a screen of palette entries, whose pixels have no colours of their own.
TEST(ScreenPixels, DesktopDescribedByItsFormat) {
    const struct {
        const char* label;
        Uint32 format;
        int bits;
        DWORD redMask16;
        size_t modes;
    } cases[] = {
        {"8 bits, palette", SDL_PIXELFORMAT_INDEX8, 8, 0xF800, 0},
        {"15 bits: 16 with the 5-5-5 red mask", SDL_PIXELFORMAT_XRGB1555, 16, 0x7C00, 3},
        {"16 bits, 5-6-5", SDL_PIXELFORMAT_RGB565, 16, 0xF800, 3},
        {"24 bits", SDL_PIXELFORMAT_RGB24, 24, 0xF800, 3},
        {"32 bits", SDL_PIXELFORMAT_XRGB8888, 32, 0xF800, 3},
        {"30 bits, 10-bit channels: 32", SDL_PIXELFORMAT_ARGB2101010, 32, 0xF800, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        StandInDisplay display;
        DescribeDesktopMode(SDL_DisplayMode{c.format, 1280, 1024, 60, nullptr}, 1, &display);
        EXPECT_EQ(display.desktopWidth, 1280);
        EXPECT_EQ(display.desktopHeight, 1024);
        EXPECT_EQ(display.desktopBitsPerPixel, c.bits);
        EXPECT_EQ(display.desktopRedMask16, c.redMask16);
        EXPECT_EQ(display.fullScreenDepths.size(), c.modes);
    }
}

} // namespace
