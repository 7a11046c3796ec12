// The AVX2 shading kernel's name in WebAssembly, where the processor check never chooses
// it (the SSE2 kernel is built for WebAssembly SIMD): the plain loop stands behind it.
#include "BumpEffect.h"
#include "ShadeKernels.h"

void ShadePixelsAvx2(const uint16_t* offsets, const uint32_t* shaded, const uint8_t* lightMap,
                     uint16_t lightOffset, uint32_t* dest, int count) {
    ShadePixels(offsets, shaded, lightMap, lightOffset, dest, count);
}
