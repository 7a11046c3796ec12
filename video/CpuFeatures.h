// What the processor offers beyond the build's baseline, asked once: the per-frame
// kernels are chosen from it at program start.
#pragma once

bool CpuHasSse2();
bool CpuHasAvx2(); // AVX2 with the operating system saving the wide registers
