// The shading pass and the picture conversion it starts from.
#include "EffectFixture.h"

#include <array>

namespace {

uint32_t ShadeOne(uint32_t pixel, uint8_t light) {
    const uint16_t offset = 0;
    std::vector<uint8_t> lightMap(65536, 0);
    lightMap[0] = light;
    uint32_t result = 0;
    ShadePixels(&offset, &pixel, lightMap.data(), 0, &result, 1);
    return result;
}

TEST(ShadePixels, AddsTheLightToEachChannelClampedAt255) {
    const struct {
        uint8_t light;
        uint32_t expected;
    } cases[] = {
        {0x00, 0xFF123456},                     // no light: the colour unchanged
        {0x10, 0xFF224466}, {0xC0, 0xFFD2F4FF}, // only blue clamps
        {0xF0, 0xFFFFFFFF}, {0xFF, 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "light 0x" << std::hex << int(c.light));
        EXPECT_EQ(ShadeOne(0xFF123456, c.light), c.expected);
    }
}

TEST(ShadePixels, KeepsTheTopByteWhateverTheLight) {
    for (const uint32_t top : {0x00u, 0x01u, 0x7Fu, 0x80u, 0xFEu, 0xFFu})
        for (const uint8_t light : {0, 1, 200, 255}) {
            SCOPED_TRACE(testing::Message()
                         << "top 0x" << std::hex << top << ", light 0x" << int(light));
            EXPECT_EQ(ShadeOne(top << 24 | 0xF00F80, light) >> 24, top);
        }
}

TEST(ShadePixels, LightIndexIsASixteenBitSum) {
    std::vector<uint8_t> lightMap(65536, 0);
    lightMap[0x6922] = 0x40;
    const std::array<uint16_t, 3> offsets = {0xFFF0, 0x0000, 0x96CE};
    const std::array<uint32_t, 3> shaded = {0xFF000000, 0xFF000000, 0xFF000000};
    std::array<uint32_t, 3> dest = {};
    ShadePixels(offsets.data(), shaded.data(), lightMap.data(), 0x6932, dest.data(), 3);
    // 0xFFF0 + 0x6932 wraps to 0x6922; 0x96CE + 0x6932 wraps to 0x0000.
    EXPECT_EQ(dest[0], 0xFF404040);
    EXPECT_EQ(dest[1], 0xFF000000);
    EXPECT_EQ(dest[2], 0xFF000000);
}

TEST(ConvertPicture, ExchangesRedAndBlueBytes) {
    const std::array<uint8_t, 8> stored = {0x12, 0x34, 0x56, 0xFF, 0xAB, 0x00, 0xCD, 0x01};
    std::array<uint32_t, 2> pixels = {};
    ConvertPicture(stored.data(), pixels.data(), 2);
    EXPECT_EQ(pixels[0], 0xFF123456);
    EXPECT_EQ(pixels[1], 0x01AB00CDu);
}

using Shading = ReadyEffect;

TEST_F(Shading, ShadedImageIsTheStoredPictureInFramePixelLayout) {
    for (int k = 0; k < EffectPixels; ++k) {
        const uint8_t* stored = SourceImage + 4 * k;
        ASSERT_EQ(stored[3], 255) << "pixel " << k;
        ASSERT_EQ(ShadedImage[k],
                  0xFF000000 | uint32_t{stored[0]} << 16 | uint32_t{stored[1]} << 8 | stored[2])
            << "pixel " << k;
    }
}

TEST_F(Shading, ShadeFrameUsesOnlyTheLowBytesOfTheLightPosition) {
    ShadeFrame(50, 105);
    const std::vector<uint32_t> expected = frame;
    ShadeFrame(50 + 256, 105 - 512);
    EXPECT_EQ(frame, expected);
    ShadeFrame(50, 106);
    EXPECT_NE(frame, expected);
}

} // namespace
