// The processor check in WebAssembly: the page is built with WebAssembly SIMD, which runs
// the SSE2 kernels (emscripten translates their intrinsics); there is no AVX2 to offer.
#include "CpuFeatures.h"

bool CpuHasSse2() {
    return true;
}

bool CpuHasAvx2() {
    return false;
}
