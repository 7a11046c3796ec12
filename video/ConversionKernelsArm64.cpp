// The conversion kernels on arm64: NEON is part of every arm64 processor, so there is
// nothing to check. GCC vectorises the plain 24-bit loop as a NEON kernel would be written,
// and at 32 bits the plain conversion copies whole rows with memcpy.
#include "ConversionKernels.h"

#include "PixelConversion.h"

ConversionKernel ConvertTo15Kernel = ConvertTo15Neon;
ConversionKernel ConvertTo16Kernel = ConvertTo16Neon;
ConversionKernel ConvertTo24Kernel = ConvertTo24;
ConversionKernel ConvertTo32Kernel = ConvertTo32;

std::vector<VectorConversionKernel> VectorConversionKernels() {
    return {
        {"NEON", ConvertTo15Neon, 15, true},
        {"NEON", ConvertTo16Neon, 16, true},
    };
}
