// The screen layer on SDL's dummy driver, whose window surfaces are plain memory: the
// stand-in freshly reset with the layer in place, the default display, and a window class
// of the given name for the test's windows.
#pragma once

#include "Screen.h"

#include <cstdlib>

// While set, SDL_UpdateWindowSurface fails: the test program's own, in front of SDL's
// (ScreenDrawingTest.cpp), as when a window's picture cannot be shown.
extern bool FailWindowSurfaceUpdates;

inline void StartInvisibleScreen(const char* windowClassName) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    UseInvisibleDisplay();
    StandInReset();
    InstallScreenLayer();
    StandInSetDisplay(StandInDisplay{});
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = windowClassName;
    RegisterClassA(&windowClass);
}
