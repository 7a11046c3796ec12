// Shared set-up of the video tests that drive the Linux stand-in.
#pragma once

#include "ChildDump.h"

#include <StandIn.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A fresh stand-in showing this display, the video state and the loader back to program
// start, nothing loaded: the state a whole run starts from.
void ResetStandIn(const StandInDisplay& display = {});
// The same with DirectDraw loaded (after beforeLoading has arranged the process) and the log
// emptied.
void StartStandIn(const StandInDisplay& display = {},
                  const std::function<void()>& beforeLoading = {});

// Full screen offering only these depths; a 16-bit mode has this red mask.
StandInDisplay FullScreenDisplay(std::vector<int> depths, DWORD redMask16 = 0xF800);
// A desktop of this depth (and 16-bit red mask) for windowed runs.
StandInDisplay DesktopDisplay(int bitsPerPixel, DWORD redMask16 = 0xF800);

// A display depth to present at, with the DisplayBpp that setup gives it.
struct Depth {
    const char* label;
    StandInDisplay display;
    bool fullScreen;
    int bitsPerPixel;
};
// The four depths in both modes.
std::vector<Depth> Depths();
// A fresh stand-in showing this depth's display, and InitDisplay in its mode.
void OpenDisplayAtDepth(const Depth& depth);

// A 320 x 200 frame whose neighbouring pixels differ in every channel; top byte 0xFF.
std::vector<uint32_t> TestFrame();
// The top-left columns x rows of a frame as a screen of this depth shows them, rows
// tightly packed: 15 and 16 bits as little-endian words, 24 bits B G R, 32 bits unchanged.
std::vector<uint8_t> ShownFrame(const std::vector<uint32_t>& frame, int bitsPerPixel, int columns,
                                int rows);
// What the screen shows in this rectangle.
std::vector<uint8_t> ScreenAt(LONG left, LONG top, LONG right, LONG bottom);
