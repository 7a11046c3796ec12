// The screen layer on SDL's dummy driver, whose window surfaces are plain memory: the
// stand-in freshly reset with the layer in place, the default display, and a window class
// of the given name for the test's windows.
#pragma once

#include "Screen.h"

#include <cstdlib>

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
