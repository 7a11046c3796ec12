// The processor check in WebAssembly: there is no x86 processor to ask, so the per-frame
// kernels are the plain loops.
#include "CpuFeatures.h"

bool CpuHasSse2() {
    return false;
}

bool CpuHasAvx2() {
    return false;
}
