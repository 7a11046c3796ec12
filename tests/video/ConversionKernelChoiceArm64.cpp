// The conversions on arm64: NEON at 15 and 16 bits, the plain ones at 24 and 32.
#include "ConversionKernels.h"
#include "PixelConversion.h"

#include <gtest/gtest.h>

namespace {

TEST(ConversionKernels, ChoiceFollowsTheProcessor) {
    EXPECT_EQ(ConvertTo15Kernel, ConvertTo15Neon);
    EXPECT_EQ(ConvertTo16Kernel, ConvertTo16Neon);
    EXPECT_EQ(ConvertTo24Kernel, ConvertTo24);
    EXPECT_EQ(ConvertTo32Kernel, ConvertTo32);
}

// The kernels the tests and benchmarks compare, always run.
TEST(ConversionKernels, TheBuildListsItsKernels) {
    const std::vector<VectorConversionKernel> kernels = VectorConversionKernels();
    ASSERT_EQ(kernels.size(), 2u);
    EXPECT_EQ(kernels[0].convert, ConvertTo15Neon);
    EXPECT_EQ(kernels[0].bits, 15);
    EXPECT_EQ(kernels[1].convert, ConvertTo16Neon);
    EXPECT_EQ(kernels[1].bits, 16);
    EXPECT_TRUE(kernels[0].runs && kernels[1].runs);
}

} // namespace
