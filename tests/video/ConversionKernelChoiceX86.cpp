// The conversions chosen on x86 from what the processor offers.
#include "ConversionKernels.h"
#include "CpuFeatures.h"
#include "PixelConversion.h"

#include <gtest/gtest.h>

namespace {

TEST(ConversionKernels, ChoiceFollowsTheProcessor) {
    struct Case {
        const char* label;
        bool sse2;
        bool avx2;
        ConversionKernel to15, to16, to24, to32;
    };
    const Case cases[] = {
        {"neither", false, false, ConvertTo15, ConvertTo16, ConvertTo24, ConvertTo32},
        {"SSE2", true, false, ConvertTo15Sse2, ConvertTo16Sse2, ConvertTo24Sse2, ConvertTo32},
        {"AVX2", true, true, ConvertTo15Avx2, ConvertTo16Avx2, ConvertTo24Avx2, ConvertTo32Avx2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ChooseConversionKernels(c.sse2, c.avx2);
        EXPECT_EQ(ConvertTo15Kernel, c.to15);
        EXPECT_EQ(ConvertTo16Kernel, c.to16);
        EXPECT_EQ(ConvertTo24Kernel, c.to24);
        EXPECT_EQ(ConvertTo32Kernel, c.to32);
    }
    ChooseConversionKernels(CpuHasSse2(), CpuHasAvx2());
}

// The kernels the tests and benchmarks compare: three SSE2 and four AVX2 ones, each with
// its depth, where the processor runs it.
TEST(ConversionKernels, TheBuildListsItsKernels) {
    const ConversionKernel listed[] = {ConvertTo15Sse2, ConvertTo16Sse2, ConvertTo24Sse2,
                                       ConvertTo15Avx2, ConvertTo16Avx2, ConvertTo24Avx2,
                                       ConvertTo32Avx2};
    const int bits[] = {15, 16, 24, 15, 16, 24, 32};
    const std::vector<VectorConversionKernel> kernels = VectorConversionKernels();
    ASSERT_EQ(kernels.size(), 7u);
    for (size_t i = 0; i < kernels.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(kernels[i].convert, listed[i]);
        EXPECT_EQ(kernels[i].bits, bits[i]);
        EXPECT_EQ(kernels[i].runs, i < 3 ? CpuHasSse2() : CpuHasAvx2());
    }
}

} // namespace
