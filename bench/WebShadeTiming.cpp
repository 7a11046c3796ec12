// The shading kernels in a browser: the plain loop and the SSE2 kernel built for
// WebAssembly SIMD shade the same frame of random offsets, colours and light map many
// times; the console gets the time a frame of each and whether their pixels agree.
// Built and run by bench/measure-web-shading.py.
#include "BumpEffect.h"
#include "ShadeKernels.h"

#include <emscripten.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int Pixels = 320 * 200;
constexpr int Repeats = 2000;
uint32_t Seed = 12345;

uint32_t Random() {
    Seed = Seed * 1103515245u + 12345u;
    return Seed >> 8;
}

// Milliseconds a frame of the kernel, shading with a new light offset each time.
double TimeKernel(ShadeKernel kernel, const uint16_t* offsets, const uint32_t* shaded,
                  const uint8_t* lightMap, uint32_t* dest) {
    const double start = emscripten_get_now();
    for (int k = 0; k < Repeats; ++k)
        kernel(offsets, shaded, lightMap, static_cast<uint16_t>(k), dest, Pixels);
    return (emscripten_get_now() - start) / Repeats;
}

} // namespace

int main() {
    std::vector<uint16_t> offsets(Pixels);
    std::vector<uint32_t> shaded(Pixels);
    std::vector<uint8_t> lightMap(65536);
    for (auto& value : offsets)
        value = static_cast<uint16_t>(Random());
    for (auto& value : shaded)
        value = Random();
    for (auto& value : lightMap)
        value = static_cast<uint8_t>(Random());
    std::vector<uint32_t> plain(Pixels);
    std::vector<uint32_t> simd(Pixels);
    for (int round = 1; round <= 5; ++round) {
        const double plainTime =
            TimeKernel(ShadePixels, offsets.data(), shaded.data(), lightMap.data(), plain.data());
        const double simdTime = TimeKernel(ShadePixelsSse2, offsets.data(), shaded.data(),
                                           lightMap.data(), simd.data());
        std::printf("round %d: plain %.3f ms, SIMD %.3f ms a frame, ratio %.2f\n", round, plainTime,
                    simdTime, plainTime / simdTime);
    }
    // Every light offset's frame, and counts that leave a partial vector at the end.
    bool same = true;
    for (int k = 0; k < 65536 && same; k += 7) {
        const int count = Pixels - k % 37;
        ShadePixels(offsets.data(), shaded.data(), lightMap.data(), static_cast<uint16_t>(k),
                    plain.data(), count);
        ShadePixelsSse2(offsets.data(), shaded.data(), lightMap.data(), static_cast<uint16_t>(k),
                        simd.data(), count);
        same = std::memcmp(plain.data(), simd.data(), count * sizeof(uint32_t)) == 0;
    }
    std::printf("pixels %s\n", same ? "identical" : "DIFFERENT");
    return same ? 0 : 1;
}
