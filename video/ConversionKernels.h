// Vector versions of the pixel conversions, byte for byte the same as the plain ones in
// PixelConversion.h, and the version of each format chosen for this processor at start.
#pragma once

#include <cstdint>
#include <vector>

using ConversionKernel = void (*)(const uint32_t* source, uint8_t* dest, int width, int height,
                                  int32_t rowPadding);

// SSE2: every x86-64 processor, and 32-bit ones since about 2003.
void ConvertTo15Sse2(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding);
void ConvertTo16Sse2(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding);
void ConvertTo24Sse2(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding);

// AVX2: to be called only where CpuHasAvx2() answers true.
void ConvertTo15Avx2(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding);
void ConvertTo16Avx2(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding);
void ConvertTo24Avx2(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding);
void ConvertTo32Avx2(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding);

// NEON: every arm64 processor. At 24 and 32 bits the plain conversions stay (the compiler
// vectorises the one, the other copies rows with memcpy).
void ConvertTo15Neon(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding);
void ConvertTo16Neon(const uint32_t* source, uint8_t* dest, int width, int height,
                     int32_t rowPadding);

// A vector conversion of this build: its name, the depth it writes, and whether this
// processor runs it.
struct VectorConversionKernel {
    const char* name;
    ConversionKernel convert;
    int bits;
    bool runs;
};
// The vector conversions this build has, for tests and benchmarks: SSE2 and AVX2 on x86,
// NEON on arm64.
std::vector<VectorConversionKernel> VectorConversionKernels();

// The conversions PresentFrame uses: the fastest this processor runs, chosen once at
// program start. At 32 bits the plain conversion's memcpy of whole rows beats SSE2 copies;
// with AVX2 an in-line copy saves the library call per row.
extern ConversionKernel ConvertTo15Kernel;
extern ConversionKernel ConvertTo16Kernel;
extern ConversionKernel ConvertTo24Kernel;
extern ConversionKernel ConvertTo32Kernel;

// x86: sets the four kernels for a processor with (or without) SSE2 and AVX2.
void ChooseConversionKernels(bool hasSse2, bool hasAvx2);
