// The x86 conversion kernels' names in WebAssembly, where the processor check never
// chooses them: the plain conversion stands behind each.
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
