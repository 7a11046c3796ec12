// The four conversions from 32-bit frame pixels into surface memory.
#include "PixelConversion.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Conversion = void (*)(const uint32_t*, uint8_t*, int, int, int32_t);

struct Format {
    const char* label;
    Conversion convert;
    int bytesPerPixel;
};
const Format Formats[] = {
    {"15 bits", ConvertTo15, 2},
    {"16 bits", ConvertTo16, 2},
    {"24 bits", ConvertTo24, 3},
    {"32 bits", ConvertTo32, 4},
};

// The surface bytes one pixel should become, written from its channels; the first
// bytesPerPixel of them count.
using PixelBytes = std::array<uint8_t, 4>;
PixelBytes Expected(int bytesPerPixel, bool fiveFiveFive, uint32_t pixel) {
    const uint32_t top = pixel >> 24;
    const uint32_t red = (pixel >> 16) & 0xFF;
    const uint32_t green = (pixel >> 8) & 0xFF;
    const uint32_t blue = pixel & 0xFF;
    switch (bytesPerPixel) {
    case 2: {
        const uint32_t word = fiveFiveFive ? (red >> 3) << 10 | (green >> 3) << 5 | blue >> 3
                                           : (red >> 3) << 11 | (green >> 2) << 5 | blue >> 3;
        return {uint8_t(word & 0xFF), uint8_t(word >> 8), 0, 0};
    }
    case 3:
        return {uint8_t(blue), uint8_t(green), uint8_t(red), 0};
    default:
        return {uint8_t(blue), uint8_t(green), uint8_t(red), uint8_t(top)};
    }
}

bool Matches(const Format& format, uint32_t pixel, const uint8_t* surface) {
    const PixelBytes want = Expected(format.bytesPerPixel, format.convert == ConvertTo15, pixel);
    return std::memcmp(want.data(), surface, format.bytesPerPixel) == 0;
}

TEST(PixelConversion, WorkedExamples) {
    struct Case {
        const char* label;
        uint32_t pixel;
        std::vector<uint8_t> bytes[4]; // 15, 16, 24, 32 bits
    };
    const Case cases[] = {
        {"white",
         0x00FFFFFF,
         {{0xFF, 0x7F}, {0xFF, 0xFF}, {0xFF, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF, 0x00}}},
        {"top byte 0x80, red 0x12, green 0x34, blue 0x56",
         0x80123456,
         {{0xCA, 0x08}, {0xAA, 0x11}, {0x56, 0x34, 0x12}, {0x56, 0x34, 0x12, 0x80}}},
        {"every channel below the kept precision",
         0xFF070307,
         {{0x00, 0x00}, {0x00, 0x00}, {0x07, 0x03, 0x07}, {0x07, 0x03, 0x07, 0xFF}}},
    };
    for (const Case& c : cases) {
        for (int f = 0; f < 4; ++f) {
            SCOPED_TRACE(std::string(c.label) + ", " + Formats[f].label);
            std::vector<uint8_t> surface(Formats[f].bytesPerPixel, 0xCD);
            Formats[f].convert(&c.pixel, surface.data(), 1, 1, 0);
            EXPECT_EQ(surface, c.bytes[f]);
        }
    }
}

// A frame-sized conversion into rows wider than the converted pixels: every row lands at
// its pitch and the bytes after it keep their old contents.
TEST(PixelConversion, RowPaddingIsSkippedAndLeftUntouched) {
    constexpr int Width = 320;
    constexpr int Height = 200;
    constexpr uint8_t Guard = 0xCD;
    std::vector<uint32_t> frame(Width * Height);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<uint32_t>(i * 2654435761u);

    struct Case {
        const char* label;
        const Format& format;
        int pitch;
    };
    const Case cases[] = {
        {"16 bits, pitch 768", Formats[1], 768},   {"15 bits, pitch 768", Formats[0], 768},
        {"24 bits, pitch 960", Formats[2], 960},   {"24 bits, pitch 1024", Formats[2], 1024},
        {"32 bits, pitch 1280", Formats[3], 1280}, {"32 bits, pitch 1344", Formats[3], 1344},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const int rowBytes = Width * c.format.bytesPerPixel;
        std::vector<uint8_t> surface(static_cast<size_t>(c.pitch) * Height, Guard);
        c.format.convert(frame.data(), surface.data(), Width, Height, c.pitch - rowBytes);

        int wrongPixels = 0;
        int touchedGuards = 0;
        for (int y = 0; y < Height; ++y) {
            const uint8_t* row = surface.data() + static_cast<size_t>(y) * c.pitch;
            for (int x = 0; x < Width; ++x) {
                if (!Matches(c.format, frame[y * Width + x], row + x * c.format.bytesPerPixel))
                    ++wrongPixels;
            }
            for (int i = rowBytes; i < c.pitch; ++i)
                touchedGuards += row[i] != Guard;
        }
        EXPECT_EQ(wrongPixels, 0);
        EXPECT_EQ(touchedGuards, 0);
    }
}

// Every 24-bit colour, with changing top bytes, against the per-channel expression.
TEST(PixelConversion, EveryColourMatchesTheChannelExpression) {
    constexpr int Block = 65536; // one red value: every green and blue
    std::vector<uint32_t> source(Block);
    std::vector<uint8_t> surface(Block * 4);
    for (const Format& format : Formats) {
        SCOPED_TRACE(format.label);
        int wrong = 0;
        uint32_t firstWrong = 0;
        for (uint32_t red = 0; red < 256; ++red) {
            for (uint32_t i = 0; i < Block; ++i) {
                const uint32_t top = (i * 7 + red) & 0xFF;
                source[i] = top << 24 | red << 16 | i;
            }
            format.convert(source.data(), surface.data(), 256, 256, 0);
            for (uint32_t i = 0; i < Block; ++i) {
                if (!Matches(format, source[i], surface.data() + i * format.bytesPerPixel)) {
                    if (wrong++ == 0)
                        firstWrong = source[i];
                }
            }
        }
        EXPECT_EQ(wrong, 0) << "first wrong pixel 0x" << std::hex << firstWrong;
    }
}

} // namespace
