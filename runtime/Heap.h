// The program's heap. Allocation never returns null: when the memory cannot be had the
// program ends with run-time error 203 (out of memory).
#pragma once

#include <cstddef>

constexpr int OutOfMemoryExitCode = 203;

void* AllocateMemory(std::size_t bytes);
void FreeMemory(void* memory);
