// The x86 shading kernels' names in WebAssembly, where the processor check never
// chooses them: the plain loop stands behind each.
#include "BumpEffect.h"
#include "ShadeKernels.h"

void ShadePixelsSse2(const uint16_t* offsets, const uint32_t* shaded, const uint8_t* lightMap,
                     uint16_t lightOffset, uint32_t* dest, int count) {
    ShadePixels(offsets, shaded, lightMap, lightOffset, dest, count);
}

void ShadePixelsAvx2(const uint16_t* offsets, const uint32_t* shaded, const uint8_t* lightMap,
                     uint16_t lightOffset, uint32_t* dest, int count) {
    ShadePixels(offsets, shaded, lightMap, lightOffset, dest, count);
}
