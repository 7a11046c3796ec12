// Whole frames: RenderBumpFrame and PresentFrame into the stand-in's surfaces.
#include "Benchmarks.h"

void RegisterFrameBenchmarks() {}

std::vector<std::string> FrameBenchmarkNames() {
    return {};
}
