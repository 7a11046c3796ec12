// The stand-in's screen pixels onto SDL surfaces (ScreenPixels.cpp): part of the screen
// layer's internals, in a header of its own for the X side of the presenter, which cannot
// see the window manager's names next to Xlib's.
#pragma once

#include <windows.h>

#include <SDL.h>

#include <cstddef>
#include <cstdint>

// --- Pixels (ScreenPixels.cpp) ------------------------------------------------------------
// The SDL pixel format of the stand-in's screen at a depth (a 16-bit screen by its red
// mask), or SDL_PIXELFORMAT_UNKNOWN for one without colours of its own (8 bits).
Uint32 ScreenPixelFormat(int bitsPerPixel, DWORD redMask16);
// The largest whole factor by which width x height fits into the display, at least 1.
int WholeScaleFactor(int width, int height, int displayWidth, int displayHeight);
// Puts width x height pixels (in the given SDL format, rows sourcePitch bytes apart, or
// packed tightly for 0) onto the surface with their top-left corner at (x, y), each as a
// factor x factor block; what falls outside the surface is left out. False when SDL cannot
// convert the format.
bool DrawPixels(const uint8_t* pixels, Uint32 format, int width, int height, SDL_Surface* target,
                int x, int y, int factor, size_t sourcePitch = 0);
