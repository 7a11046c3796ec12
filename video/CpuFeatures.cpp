// The processor check behind the choice of per-frame kernels.
#include "CpuFeatures.h"

bool CpuHasSse2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2");
}

bool CpuHasAvx2() {
    // GCC's check also asks the operating system whether it saves the YMM registers.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
