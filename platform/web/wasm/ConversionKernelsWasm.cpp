// The x86 conversion kernels' names in WebAssembly: the plain conversion stands behind
// each. The page offers 32-bit pixels only, whose conversion has no SSE2 kernel, so the
// SSE2 conversions (chosen with the SSE2 shading) would never run and only add weight.
#include "ConversionKernels.h"
#include "PixelConversion.h"

void ConvertTo15Sse2(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding) {
    ConvertTo15(source, dest, width, height, rowPadding);
}
void ConvertTo16Sse2(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding) {
    ConvertTo16(source, dest, width, height, rowPadding);
}
void ConvertTo24Sse2(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding) {
    ConvertTo24(source, dest, width, height, rowPadding);
}
void ConvertTo15Avx2(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding) {
    ConvertTo15(source, dest, width, height, rowPadding);
}
void ConvertTo16Avx2(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding) {
    ConvertTo16(source, dest, width, height, rowPadding);
}
void ConvertTo24Avx2(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding) {
    ConvertTo24(source, dest, width, height, rowPadding);
}
void ConvertTo32Avx2(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding) {
    ConvertTo32(source, dest, width, height, rowPadding);
}
