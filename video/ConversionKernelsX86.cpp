// The choice of conversion kernels on x86 (and in WebAssembly), made once at program start
// from the processor check.
#include "ConversionKernels.h"

#include "CpuFeatures.h"
#include "PixelConversion.h"

ConversionKernel ConvertTo15Kernel = ConvertTo15;
ConversionKernel ConvertTo16Kernel = ConvertTo16;
ConversionKernel ConvertTo24Kernel = ConvertTo24;
ConversionKernel ConvertTo32Kernel = ConvertTo32;

void ChooseConversionKernels(bool hasSse2, bool hasAvx2) {
    ConvertTo15Kernel = hasAvx2 ? ConvertTo15Avx2 : hasSse2 ? ConvertTo15Sse2 : ConvertTo15;
    ConvertTo16Kernel = hasAvx2 ? ConvertTo16Avx2 : hasSse2 ? ConvertTo16Sse2 : ConvertTo16;
    ConvertTo24Kernel = hasAvx2 ? ConvertTo24Avx2 : hasSse2 ? ConvertTo24Sse2 : ConvertTo24;
    ConvertTo32Kernel = hasAvx2 ? ConvertTo32Avx2 : ConvertTo32;
}

std::vector<VectorConversionKernel> VectorConversionKernels() {
    const bool sse2 = CpuHasSse2();
    const bool avx2 = CpuHasAvx2();
    return {
        {"SSE2", ConvertTo15Sse2, 15, sse2}, {"SSE2", ConvertTo16Sse2, 16, sse2},
        {"SSE2", ConvertTo24Sse2, 24, sse2}, {"AVX2", ConvertTo15Avx2, 15, avx2},
        {"AVX2", ConvertTo16Avx2, 16, avx2}, {"AVX2", ConvertTo24Avx2, 24, avx2},
        {"AVX2", ConvertTo32Avx2, 32, avx2},
    };
}

namespace {

// Runs during static initialisation, before main and before any frame is presented.
[[maybe_unused]] const bool KernelsChosen =
    (ChooseConversionKernels(CpuHasSse2(), CpuHasAvx2()), true);

} // namespace
