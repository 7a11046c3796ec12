#include "Demo.h"

#include "Console.h"

#include <cstdio>

void FormatFrameRate(uint32_t frames, uint32_t ticks, char* text, int size) {
    if (size <= 0)
        return;
    double rate = static_cast<double>(frames) * 1000.0 / static_cast<double>(ticks);
    std::snprintf(text, static_cast<std::size_t>(size), "%.2f", rate);
}

void WriteBenchmarkReport(uint32_t frames, uint32_t ticks) {
    char rate[64];
    FormatFrameRate(frames, ticks, rate, sizeof(rate));
    char line[96];
    std::snprintf(line, sizeof(line), "\r\n\r\nBENCHMARK: %s FPS\r\n", rate);
    WriteConsoleText(line);
}
