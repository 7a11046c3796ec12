// Shared set-up of the video tests that drive the Linux stand-in.
#include "StandInVideo.h"

#include "DirectDrawLoader.h"
#include "VideoOutput.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// The program under test ends through exit(0), which would look like a passing test run.
// Outside the child processes of the death tests (forked, so of another process id) such
// an end is reported as a failure.
bool TestsFinished = false;
pid_t TestProcess = 0;

void FailUnexpectedEnd() {
    if (TestsFinished || getpid() != TestProcess)
        return;
    std::fputs("The program ended in the middle of a test.\n", stderr);
    std::_Exit(1);
}

struct EndGuard : testing::Environment {
    void SetUp() override {
        TestProcess = getpid();
        std::atexit(FailUnexpectedEnd);
    }
    void TearDown() override { TestsFinished = true; }
};
[[maybe_unused]] testing::Environment* const Guard =
    testing::AddGlobalTestEnvironment(new EndGuard);

void ResetVideoState() {
    FrameBuffer = nullptr;
    SpareBuffer = nullptr;
    UpdateScreen = nullptr;
    OutputWindow = nullptr;
    FullScreen = false;
    OutputWidth = 0;
    OutputHeight = 0;
    DisplayBpp = 0;
    PrimarySurface = nullptr;
    BackSurface = nullptr;
    WindowClipper = nullptr;
    SourceRect = {};
    DestRect = {};
    WindowRect = {};
    EscapePressed = false;
    SpacePressed = false;
    RowPadding = 0;
}

// The loader keeps its entry points when the host check stops it, so start empty.
void ResetLoader() {
    DirectDrawLoader::DirectDrawLibrary = nullptr;
    DirectDrawLoader::DirectDrawEnumerateA = nullptr;
    DirectDrawLoader::DirectDrawEnumerateW = nullptr;
    DirectDrawLoader::DirectDrawEnumerate = nullptr;
    DirectDrawLoader::DirectDrawEnumerateExA = nullptr;
    DirectDrawLoader::DirectDrawEnumerateExW = nullptr;
    DirectDrawLoader::DirectDrawEnumerateEx = nullptr;
    DirectDrawLoader::DirectDrawCreate = nullptr;
    DirectDrawLoader::DirectDrawCreateEx = nullptr;
    DirectDrawLoader::DirectDrawCreateClipper = nullptr;
}

} // namespace

void ResetStandIn(const StandInDisplay& display) {
    StandInReset();
    StandInSetDisplay(display);
    ResetVideoState();
    ResetLoader();
}

void StartStandIn(const StandInDisplay& display, const std::function<void()>& beforeLoading) {
    ResetStandIn(display);
    if (beforeLoading)
        beforeLoading();
    DirectDrawLoader::LoadDirectDraw();
    StandInClearCallLog();
}

StandInDisplay FullScreenDisplay(std::vector<int> depths, DWORD redMask16) {
    StandInDisplay display;
    display.fullScreenDepths = std::move(depths);
    display.fullScreenRedMask16 = redMask16;
    return display;
}

StandInDisplay DesktopDisplay(int bitsPerPixel, DWORD redMask16) {
    StandInDisplay display;
    display.desktopBitsPerPixel = bitsPerPixel;
    display.desktopRedMask16 = redMask16;
    return display;
}

std::vector<Depth> Depths() {
    return {
        {"full screen, 32 bits", FullScreenDisplay({32, 24, 16}), true, 32},
        {"full screen, 24 bits", FullScreenDisplay({24, 16}), true, 24},
        {"full screen, 16 bits", FullScreenDisplay({16}, 0xF800), true, 16},
        {"full screen, 15 bits", FullScreenDisplay({16}, 0x7C00), true, 15},
        {"windowed, 32 bits", DesktopDisplay(32), false, 32},
        {"windowed, 24 bits", DesktopDisplay(24), false, 24},
        {"windowed, 16 bits", DesktopDisplay(16, 0xF800), false, 16},
        {"windowed, 15 bits", DesktopDisplay(16, 0x7C00), false, 15},
    };
}

void OpenDisplayAtDepth(const Depth& depth) {
    StartStandIn(depth.display);
    InitDisplay(FrameWidth, FrameHeight, depth.fullScreen);
}

std::vector<uint32_t> TestFrame() {
    std::vector<uint32_t> frame(FramePixels);
    for (int i = 0; i < FramePixels; ++i)
        frame[i] = 0xFF000000 | ((static_cast<uint32_t>(i) * 2654435761u) >> 8);
    return frame;
}

std::vector<uint8_t> ShownFrame(const std::vector<uint32_t>& frame, int bitsPerPixel, int columns,
                                int rows) {
    std::vector<uint8_t> shown;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            const uint32_t pixel = frame[y * FrameWidth + x];
            const uint32_t red = (pixel >> 16) & 0xFF;
            const uint32_t green = (pixel >> 8) & 0xFF;
            const uint32_t blue = pixel & 0xFF;
            if (bitsPerPixel == 15 || bitsPerPixel == 16) {
                const uint32_t word = bitsPerPixel == 15
                                          ? (red >> 3) << 10 | (green >> 3) << 5 | blue >> 3
                                          : (red >> 3) << 11 | (green >> 2) << 5 | blue >> 3;
                shown.insert(shown.end(), {uint8_t(word), uint8_t(word >> 8)});
            } else {
                shown.insert(shown.end(), {uint8_t(blue), uint8_t(green), uint8_t(red)});
                if (bitsPerPixel == 32)
                    shown.push_back(uint8_t(pixel >> 24));
            }
        }
    }
    return shown;
}

std::vector<uint8_t> ScreenAt(LONG left, LONG top, LONG right, LONG bottom) {
    return StandInReadScreen(RECT{left, top, right, bottom});
}
