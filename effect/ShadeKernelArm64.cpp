// The shading kernel on arm64: NEON is part of every arm64 processor, so there is nothing
// to check and nothing to choose.
#include "ShadeKernels.h"

ShadeKernel ShadePixelsKernel = ShadePixelsNeon;

std::vector<VectorShadeKernel> VectorShadeKernels() {
    return {{"NEON", ShadePixelsNeon, true}};
}
