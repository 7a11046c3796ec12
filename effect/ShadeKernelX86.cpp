// The choice of shading kernel on x86 (and in WebAssembly), made once at program start
// from the processor check.
#include "ShadeKernels.h"

#include "BumpEffect.h"
#include "CpuFeatures.h"

ShadeKernel ShadePixelsKernel = ShadePixels;

void ChooseShadeKernel(bool hasSse2, bool hasAvx2) {
    ShadePixelsKernel = hasAvx2 ? ShadePixelsAvx2 : hasSse2 ? ShadePixelsSse2 : ShadePixels;
}

std::vector<VectorShadeKernel> VectorShadeKernels() {
    return {{"SSE2", ShadePixelsSse2, CpuHasSse2()}, {"AVX2", ShadePixelsAvx2, CpuHasAvx2()}};
}

namespace {

// Runs during static initialisation, before main and before any frame is drawn.
[[maybe_unused]] const bool KernelChosen = (ChooseShadeKernel(CpuHasSse2(), CpuHasAvx2()), true);

} // namespace
