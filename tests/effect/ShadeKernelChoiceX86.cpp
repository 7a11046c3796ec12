// The shading kernel chosen on x86 from what the processor offers.
#include "BumpEffect.h"
#include "CpuFeatures.h"
#include "ShadeKernels.h"

#include <gtest/gtest.h>

namespace {

TEST(ShadeKernels, ChoiceFollowsTheProcessor) {
    ChooseShadeKernel(false, false);
    EXPECT_EQ(ShadePixelsKernel, ShadePixels);
    ChooseShadeKernel(true, false);
    EXPECT_EQ(ShadePixelsKernel, ShadePixelsSse2);
    ChooseShadeKernel(true, true);
    EXPECT_EQ(ShadePixelsKernel, ShadePixelsAvx2);
    ChooseShadeKernel(CpuHasSse2(), CpuHasAvx2());
}

// The kernels the tests and benchmarks compare: both, each where the processor runs it.
TEST(ShadeKernels, TheBuildListsItsKernels) {
    const std::vector<VectorShadeKernel> kernels = VectorShadeKernels();
    ASSERT_EQ(kernels.size(), 2u);
    EXPECT_EQ(kernels[0].shade, ShadePixelsSse2);
    EXPECT_EQ(kernels[0].runs, CpuHasSse2());
    EXPECT_EQ(kernels[1].shade, ShadePixelsAvx2);
    EXPECT_EQ(kernels[1].runs, CpuHasAvx2());
}

} // namespace
