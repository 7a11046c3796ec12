// The vector conversions against the plain ones, byte for byte, guard bytes included.
#include "ConversionKernels.h"
#include "PixelConversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

struct Kernel {
    std::string label;
    ConversionKernel fast;
    ConversionKernel plain;
    int bytesPerPixel;
    bool runs;
};
// The build's vector conversions (SSE2 and AVX2 on x86, NEON on arm64), each beside the
// plain conversion of its depth.
std::vector<Kernel> Kernels() {
    std::vector<Kernel> kernels;
    for (const VectorConversionKernel& kernel : VectorConversionKernels()) {
        const ConversionKernel plain = kernel.bits == 15   ? ConvertTo15
                                       : kernel.bits == 16 ? ConvertTo16
                                       : kernel.bits == 24 ? ConvertTo24
                                                           : ConvertTo32;
        kernels.push_back({std::to_string(kernel.bits) + " bits, " + kernel.name, kernel.convert,
                           plain, (kernel.bits + 7) / 8, kernel.runs});
    }
    return kernels;
}

bool Runs(const Kernel& kernel) {
    return kernel.runs;
}

constexpr uint8_t Guard = 0xA5;
constexpr int GuardBytes = 64; // after the last row, beyond the surface

// A surface of `height` rows of `pitch` bytes, starting `misalign` bytes into its storage,
// with guard bytes before the start, in each row's padding and after the end.
struct Surface {
    std::vector<uint8_t> storage;
    uint8_t* rows;
};
Surface MakeSurface(int pitch, int height, int misalign) {
    Surface surface;
    surface.storage.assign(
        static_cast<size_t>(misalign) + static_cast<size_t>(pitch) * height + GuardBytes, Guard);
    surface.rows = surface.storage.data() + misalign;
    return surface;
}

// Converts with the kernel and with the plain conversion into surfaces of the same shape
// and answers the first byte where they differ (guards included), or -1.
long FirstDifference(const Kernel& kernel, const std::vector<uint32_t>& frame, int width,
                     int height, int padding, int misalign) {
    const int pitch = width * kernel.bytesPerPixel + padding;
    Surface fast = MakeSurface(pitch, height, misalign);
    Surface plain = MakeSurface(pitch, height, misalign);
    kernel.fast(frame.data(), fast.rows, width, height, padding);
    kernel.plain(frame.data(), plain.rows, width, height, padding);
    for (size_t i = 0; i < fast.storage.size(); ++i)
        if (fast.storage[i] != plain.storage[i])
            return static_cast<long>(i) - misalign;
    return -1;
}

std::vector<uint32_t> RandomPixels(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint32_t> pixels(count);
    for (uint32_t& pixel : pixels)
        pixel = static_cast<uint32_t>(random());
    return pixels;
}

// Every 24-bit colour, each with a top byte that changes from pixel to pixel, in frames
// whose width leaves a remainder for every step size and whose rows are padded by an
// odd number of bytes.
TEST(ConversionKernels, EveryColourMatchesThePlainConversion) {
    constexpr int Width = 333;
    constexpr int Height = 200;
    constexpr int Padding = 7;
    constexpr uint32_t Colours = 1u << 24;
    std::vector<uint32_t> frame(Width * Height);
    for (const Kernel& kernel : Kernels()) {
        SCOPED_TRACE(kernel.label);
        if (!Runs(kernel))
            continue;
        for (uint32_t first = 0; first < Colours; first += Width * Height) {
            for (uint32_t i = 0; i < frame.size(); ++i) {
                const uint32_t colour = (first + i) % Colours; // the last frame wraps round
                frame[i] = ((colour * 0x9E3779B1u) & 0xFF000000) | colour;
            }
            const long difference = FirstDifference(kernel, frame, Width, Height, Padding, 0);
            ASSERT_EQ(difference, -1) << "frame from colour 0x" << std::hex << first;
        }
    }
}

// Row widths around every step size, paddings from none to wide, surfaces starting off any
// alignment: the tails of the rows and the padding.
TEST(ConversionKernels, AnyWidthPaddingAndAlignment) {
    const std::vector<uint32_t> frame = RandomPixels(70 * 5, 1);
    for (const Kernel& kernel : Kernels()) {
        if (!Runs(kernel))
            continue;
        for (int width = 0; width <= 70; ++width)
            for (const int padding : {0, 1, 3, 64})
                for (const int misalign : {0, 1, 7}) {
                    SCOPED_TRACE(kernel.label + ", width " + std::to_string(width) + ", padding " +
                                 std::to_string(padding) + ", misaligned by " +
                                 std::to_string(misalign));
                    EXPECT_EQ(FirstDifference(kernel, frame, width, 5, padding, misalign), -1);
                }
    }
}

// The frame as the program shows it, 320 x 200, at the pitches a display may report.
TEST(ConversionKernels, FrameSizedSurfaces) {
    const std::vector<uint32_t> frame = RandomPixels(320 * 200, 2);
    for (const Kernel& kernel : Kernels()) {
        if (!Runs(kernel))
            continue;
        for (const int padding : {0, 128, 320}) {
            SCOPED_TRACE(kernel.label + ", padding " + std::to_string(padding));
            EXPECT_EQ(FirstDifference(kernel, frame, 320, 200, padding, 0), -1);
        }
    }
}

// Values that a signed saturating pack would clamp: red at 0x80 and above sets bit 15.
TEST(ConversionKernels, HighRedSurvivesThePacking) {
    std::vector<uint32_t> frame;
    for (uint32_t red = 0x78; red <= 0xFF; ++red)
        for (const uint32_t rest : {0x0000u, 0xFFFFu, 0x8080u, 0x0404u})
            frame.push_back(red << 16 | rest);
    for (const Kernel& kernel : Kernels()) {
        SCOPED_TRACE(kernel.label);
        if (Runs(kernel)) {
            EXPECT_EQ(FirstDifference(kernel, frame, static_cast<int>(frame.size()), 1, 0, 0), -1);
        }
    }
}

} // namespace
