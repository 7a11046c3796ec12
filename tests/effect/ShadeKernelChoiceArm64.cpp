// The shading kernel on arm64: NEON, which every arm64 processor has.
#include "ShadeKernels.h"

#include <gtest/gtest.h>

namespace {

TEST(ShadeKernels, ChoiceFollowsTheProcessor) {
    EXPECT_EQ(ShadePixelsKernel, ShadePixelsNeon);
}

// The kernel the tests and benchmarks compare, always run.
TEST(ShadeKernels, TheBuildListsItsKernels) {
    const std::vector<VectorShadeKernel> kernels = VectorShadeKernels();
    ASSERT_EQ(kernels.size(), 1u);
    EXPECT_EQ(kernels[0].shade, ShadePixelsNeon);
    EXPECT_TRUE(kernels[0].runs);
}

} // namespace
