// Vector versions of ShadePixels, pixel for pixel the same, and the one chosen for this
// processor at start.
#pragma once

#include <cstdint>
#include <vector>

using ShadeKernel = void (*)(const uint16_t* offsets, const uint32_t* shaded,
                             const uint8_t* lightMap, uint16_t lightOffset, uint32_t* dest,
                             int count);

// SSE2: scalar light-map lookups, sixteen pixels' saturating additions per step.
void ShadePixelsSse2(const uint16_t* offsets, const uint32_t* shaded, const uint8_t* lightMap,
                     uint16_t lightOffset, uint32_t* dest, int count);
// AVX2, sixteen pixels per step; to be called only where CpuHasAvx2() answers true.
void ShadePixelsAvx2(const uint16_t* offsets, const uint32_t* shaded, const uint8_t* lightMap,
                     uint16_t lightOffset, uint32_t* dest, int count);

// NEON, sixteen pixels per step: every arm64 processor.
void ShadePixelsNeon(const uint16_t* offsets, const uint32_t* shaded, const uint8_t* lightMap,
                     uint16_t lightOffset, uint32_t* dest, int count);

// A vector shading pass of this build, by name, and whether this processor runs it.
struct VectorShadeKernel {
    const char* name;
    ShadeKernel shade;
    bool runs;
};
// The vector passes this build has, for tests and benchmarks: SSE2 and AVX2 on x86 (and
// in WebAssembly), NEON on arm64.
std::vector<VectorShadeKernel> VectorShadeKernels();

// The shading pass ShadeFrame runs: the fastest this processor has, chosen once at
// program start.
extern ShadeKernel ShadePixelsKernel;

// x86: sets ShadePixelsKernel for a processor with (or without) SSE2 and AVX2.
void ChooseShadeKernel(bool hasSse2, bool hasAvx2);
