// The benchmark program's parts: each file registers its benchmarks once it has checked
// that every compared routine produces exactly the bytes of ours.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

void RegisterShadeBenchmarks();
void RegisterConversionBenchmarks();
void RegisterFrameBenchmarks();
// The names of the whole-frame benchmarks, for the summary.
std::vector<std::string> FrameBenchmarkNames();

// memcpy of this many bytes, the memory floor beside a kernel.
void RegisterMemcpy(const char* name, size_t bytes);

// Compares two results; on a difference prints that the routine is left out and why.
bool ExpectSameBytes(const char* name, const void* want, const void* got, size_t bytes);
// The same over the rows of two surfaces, leaving the padding after each row aside.
bool ExpectSameRows(const char* name, const void* want, const void* got, size_t rowBytes,
                    size_t pitch, int rows);
