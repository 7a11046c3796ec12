// The demo program: module start-up and the main routine with its frame loop.
#pragma once

#include <cstdint>

extern uint32_t FrameCount;
extern int32_t AnimationTime;
extern uint32_t StartTicks;
extern uint32_t ElapsedTicks;

// Initialises every module in order (console, DirectDraw, video output) and registers
// the finaliser of the one that has something to release at the end: DirectDraw's,
// which unloads the library.
void InitialiseModules();

// The main routine: runs the demo until a console key and prints the report. Never returns.
[[noreturn]] void DemoMain();

// The animation counter after one more frame; past the largest value it wraps to the
// most negative one.
inline int32_t NextAnimationTime(int32_t animationTime) {
    // Unsigned arithmetic wraps; the conversion back is modular.
    return static_cast<int32_t>(static_cast<uint32_t>(animationTime) + 1u);
}

// The report's rate text, "20.00" for 100 frames in 5000 ms.
void FormatFrameRate(uint32_t frames, uint32_t ticks, char* text, int size);

// Writes two empty lines and "BENCHMARK: <rate> FPS" to the console.
void WriteBenchmarkReport(uint32_t frames, uint32_t ticks);
