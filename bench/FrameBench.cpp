// Whole frames as the program makes them, without the 50 ms wait: RenderBumpFrame, then
// UpdateScreen (PresentFrame into the stand-in's surfaces, Flip or Blt, and the message
// pump), at every depth in both modes.
#include "BenchData.h"
#include "Benchmarks.h"

#include "BumpEffect.h"
#include "DirectDrawLoader.h"
#include "VideoOutput.h"

#include <StandIn.h>
#include <benchmark/benchmark.h>

namespace {

struct Display {
    const char* name;
    bool fullScreen;
    int depth;     // full-screen mode depth or desktop depth
    DWORD redMask; // of a 16-bit mode: 5-6-5 or 5-5-5
};
const Display Displays[] = {
    {"Frame/full screen 32 bits", true, 32, 0xF800},
    {"Frame/full screen 24 bits", true, 24, 0xF800},
    {"Frame/full screen 16 bits", true, 16, 0xF800},
    {"Frame/full screen 15 bits", true, 16, 0x7C00},
    {"Frame/windowed 32 bits", false, 32, 0xF800},
    {"Frame/windowed 24 bits", false, 24, 0xF800},
    {"Frame/windowed 16 bits", false, 16, 0xF800},
    {"Frame/windowed 15 bits", false, 16, 0x7C00},
};

// A fresh stand-in with this display, the video output state as at program start,
// DirectDraw loaded and the display open as the program opens it.
void OpenDisplayOf(const Display& display, uint32_t* frame) {
    StandInReset();
    StandInDisplay settings;
    settings.fullScreenDepths = {display.depth};
    settings.fullScreenRedMask16 = display.redMask;
    settings.desktopBitsPerPixel = display.depth;
    settings.desktopRedMask16 = display.redMask;
    StandInSetDisplay(settings);
    PrimarySurface = nullptr;
    BackSurface = nullptr;
    WindowClipper = nullptr;
    OutputWindow = nullptr;
    DisplayBpp = 0;
    DirectDrawLoader::DirectDrawLibrary = nullptr;
    DirectDrawLoader::LoadDirectDraw();
    InitVideoOutput();
    FrameBuffer = frame;
    InitDisplay(BenchWidth, BenchHeight, display.fullScreen);
    // A windowed desktop reports 16 for a 5-5-5 mode too; set it as such a device would.
    if (display.redMask == 0x7C00)
        DisplayBpp = 15;
}

void WholeFrames(benchmark::State& state, Display display) {
    std::vector<uint32_t> frame(BenchPixels);
    OpenDisplayOf(display, frame.data());
    int32_t time = 0;
    for (auto _ : state) {
        RenderBumpFrame(++time);
        UpdateScreen();
        // The stand-in logs every call for its tests; the log is kept from growing.
        StandInClearCallLog();
    }
    FrameBuffer = nullptr;
}

} // namespace

void RegisterFrameBenchmarks() {
    for (const Display& display : Displays)
        benchmark::RegisterBenchmark(display.name, WholeFrames, display)
            ->Unit(benchmark::kMicrosecond);
}

std::vector<std::string> FrameBenchmarkNames() {
    std::vector<std::string> names;
    for (const Display& display : Displays)
        names.push_back(display.name);
    return names;
}
