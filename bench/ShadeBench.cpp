// ShadeFrame at a moving light: the plain loop, each kernel, the one ShadeFrame uses, and
// memcpy of the 256000 bytes the pass writes. Also InitBumpEffect.
#include "BenchData.h"
#include "Benchmarks.h"
#include "PlainLoops.h"

#include "BumpEffect.h"
#include "ShadeKernels.h"
#include "VideoOutput.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// One frame per iteration, the light moving along its path from frame to frame.
void ShadeWith(benchmark::State& state, ShadeKernel kernel) {
    const std::vector<uint16_t>& path = LightOffsets();
    std::vector<uint32_t> frame(BenchPixels);
    size_t phase = 0;
    for (auto _ : state) {
        kernel(BumpOffsets, ShadedImage, SelectedLightMap, path[phase], frame.data(), BenchPixels);
        benchmark::ClobberMemory();
        phase = (phase + 1) % path.size();
    }
}

void ShadeFrameAsTheProgram(benchmark::State& state) {
    const std::vector<uint16_t>& path = LightOffsets();
    std::vector<uint32_t> frame(BenchPixels);
    uint32_t* const saved = FrameBuffer;
    FrameBuffer = frame.data();
    size_t phase = 0;
    for (auto _ : state) {
        ShadeFrame(path[phase] & 0xFF, path[phase] >> 8);
        benchmark::ClobberMemory();
        phase = (phase + 1) % path.size();
    }
    FrameBuffer = saved;
}

void InitAndRelease(benchmark::State& state) {
    // The benchmark data keeps the effect ready; it is released and made again here.
    ReleaseBumpEffect();
    for (auto _ : state) {
        InitBumpEffect();
        benchmark::ClobberMemory();
        state.PauseTiming();
        ReleaseBumpEffect();
        state.ResumeTiming();
    }
    InitBumpEffect();
}

} // namespace

void RegisterShadeBenchmarks() {
    // Checks that every kernel shades the drawn frame's light like the plain loop.
    std::vector<uint32_t> want(BenchPixels);
    std::vector<uint32_t> got(BenchPixels);
    PlainShadePixels(BumpOffsets, ShadedImage, SelectedLightMap, LightOffsets()[11], want.data(),
                     BenchPixels);
    struct Named {
        std::string name;
        ShadeKernel kernel;
        bool runs;
    };
    std::vector<Named> kernels = {{"ShadeFrame/plain", PlainShadePixels, true}};
    for (const VectorShadeKernel& kernel : VectorShadeKernels())
        kernels.push_back({std::string("ShadeFrame/") + kernel.name, kernel.shade, kernel.runs});
    for (const auto& k : kernels) {
        if (!k.runs)
            continue;
        k.kernel(BumpOffsets, ShadedImage, SelectedLightMap, LightOffsets()[11], got.data(),
                 BenchPixels);
        if (!ExpectSameBytes(k.name.c_str(), want.data(), got.data(), BenchFrameBytes))
            continue;
        benchmark::RegisterBenchmark(k.name.c_str(), ShadeWith, k.kernel)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("ShadeFrame/chosen", ShadeFrameAsTheProgram)
        ->Unit(benchmark::kMicrosecond);
    RegisterMemcpy("ShadeFrame/memcpy", BenchFrameBytes);
    benchmark::RegisterBenchmark("InitBumpEffect", InitAndRelease)->Unit(benchmark::kMicrosecond);
}
