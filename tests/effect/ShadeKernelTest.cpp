// The vector shading passes against the plain one, pixel for pixel, guard pixels included.
#include "BumpEffect.h"
#include "EffectFixture.h"
#include "ShadeKernels.h"

#include <random>
#include <string>

namespace {

using Kernel = VectorShadeKernel;
// The build's vector passes: SSE2 and AVX2 on x86, NEON on arm64.
const std::vector<Kernel> Kernels = VectorShadeKernels();

bool Runs(const Kernel& kernel) {
    return kernel.runs;
}

constexpr uint32_t GuardPixel = 0xA5A5A5A5;
constexpr int GuardPixels = 16;

struct Inputs {
    std::vector<uint16_t> offsets;
    std::vector<uint32_t> shaded;
    std::vector<uint8_t> lightMap = std::vector<uint8_t>(65536);
};

Inputs RandomInputs(int count, std::mt19937& random) {
    Inputs inputs;
    for (int k = 0; k < count; ++k) {
        inputs.offsets.push_back(static_cast<uint16_t>(random()));
        inputs.shaded.push_back(static_cast<uint32_t>(random()));
    }
    for (uint8_t& cell : inputs.lightMap)
        cell = static_cast<uint8_t>(random());
    return inputs;
}

// Shades with the kernel and with the plain pass into buffers followed by guard pixels
// and answers the first pixel where they differ (guards included), or -1. The inputs
// end where their vectors end, so a read past them is caught under AddressSanitizer.
int FirstDifference(const Kernel& kernel, const Inputs& inputs, uint16_t lightOffset) {
    const int count = static_cast<int>(inputs.offsets.size());
    std::vector<uint32_t> fast(count + GuardPixels, GuardPixel);
    std::vector<uint32_t> plain(count + GuardPixels, GuardPixel);
    kernel.shade(inputs.offsets.data(), inputs.shaded.data(), inputs.lightMap.data(), lightOffset,
                 fast.data(), count);
    ShadePixels(inputs.offsets.data(), inputs.shaded.data(), inputs.lightMap.data(), lightOffset,
                plain.data(), count);
    for (size_t k = 0; k < fast.size(); ++k)
        if (fast[k] != plain[k])
            return static_cast<int>(k);
    return -1;
}

TEST(ShadeKernels, RandomInputsOfEveryLengthUpTo70) {
    std::mt19937 random(1);
    for (const Kernel& kernel : Kernels) {
        if (!Runs(kernel))
            continue;
        for (int count = 0; count <= 70; ++count) {
            SCOPED_TRACE(std::string(kernel.name) + ", " + std::to_string(count) + " pixels");
            const Inputs inputs = RandomInputs(count, random);
            EXPECT_EQ(FirstDifference(kernel, inputs, static_cast<uint16_t>(random())), -1);
        }
    }
}

// Indices that wrap past 0xFFFF: offsets near the top with every light offset whose sum
// carries, and light positions at the wrap.
TEST(ShadeKernels, IndicesWrapPastTheLightMap) {
    std::mt19937 random(2);
    Inputs inputs = RandomInputs(256, random);
    for (int k = 0; k < 256; ++k)
        inputs.offsets[k] = static_cast<uint16_t>(0xFFFF - k % 32);
    for (const Kernel& kernel : Kernels) {
        if (!Runs(kernel))
            continue;
        for (const uint32_t lightOffset : {0x0000u, 0x0001u, 0x0020u, 0x6932u, 0x8000u, 0xFFFFu}) {
            SCOPED_TRACE(std::string(kernel.name) + ", light offset " +
                         std::to_string(lightOffset));
            EXPECT_EQ(FirstDifference(kernel, inputs, static_cast<uint16_t>(lightOffset)), -1);
        }
    }
}

// Every top byte and every channel value with lights that leave it, reach 255 and clamp.
TEST(ShadeKernels, EveryTopByteAndSaturatedChannels) {
    Inputs inputs;
    for (uint32_t top = 0; top < 256; ++top)
        for (const uint32_t channel : {0x00u, 0x01u, 0x7Fu, 0x80u, 0xFEu, 0xFFu}) {
            for (const uint32_t light : {0u, 1u, 2u, 0x80u, 0xFEu, 0xFFu}) {
                inputs.offsets.push_back(static_cast<uint16_t>(light));
                // The three channels differ, so a clamp applied to the wrong one shows.
                inputs.shaded.push_back(top << 24 | channel << 16 | (channel ^ 0x01) << 8 |
                                        (channel ^ 0x80));
            }
        }
    for (uint32_t cell = 0; cell < 256; ++cell)
        inputs.lightMap[cell] = static_cast<uint8_t>(cell);
    for (const Kernel& kernel : Kernels) {
        SCOPED_TRACE(kernel.name);
        if (Runs(kernel)) {
            EXPECT_EQ(FirstDifference(kernel, inputs, 0), -1);
        }
    }
}

// The effect's own tables at every light position of the path, and more positions than
// the path takes.
using ShadeKernelsOnTheEffect = ReadyEffect;

TEST_F(ShadeKernelsOnTheEffect, EveryLightPosition) {
    Inputs inputs;
    inputs.offsets.assign(BumpOffsets, BumpOffsets + EffectPixels);
    inputs.shaded.assign(ShadedImage, ShadedImage + EffectPixels);
    inputs.lightMap.assign(SelectedLightMap, SelectedLightMap + 65536);
    for (const Kernel& kernel : Kernels) {
        if (!Runs(kernel))
            continue;
        for (int time = 0; time < 90; ++time) {
            RenderBumpFrame(time);
            SCOPED_TRACE(std::string(kernel.name) + ", time " + std::to_string(time));
            const auto lightOffset = static_cast<uint16_t>(LightY << 8 | LightX);
            ASSERT_EQ(FirstDifference(kernel, inputs, lightOffset), -1);
        }
        for (uint32_t lightOffset = 0; lightOffset < 65536; lightOffset += 4099) {
            SCOPED_TRACE(std::string(kernel.name) + ", light offset " +
                         std::to_string(lightOffset));
            ASSERT_EQ(FirstDifference(kernel, inputs, static_cast<uint16_t>(lightOffset)), -1);
        }
    }
}

} // namespace
