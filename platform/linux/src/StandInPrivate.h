// Shared internals of the Linux stand-in: the call log, scripted failures, the display
// description and the screen. Not part of the control interface.
#pragma once

#include <windows.h>
#include <ddraw.h>
#include <StandIn.h>

#include <string>

// Call log: Arg renders one argument the way StandIn.h describes.
std::string Arg(long long value);
std::string Arg(unsigned long long value);
inline std::string Arg(int value) { return Arg(static_cast<long long>(value)); }
inline std::string Arg(long value) { return Arg(static_cast<long long>(value)); }
inline std::string Arg(unsigned value) { return Arg(static_cast<unsigned long long>(value)); }
inline std::string Arg(unsigned long value) { return Arg(static_cast<unsigned long long>(value)); }
std::string Arg(const char* text); // "text" in double quotes, or NULL
std::string Arg(const void* pointer); // NULL or ptr
std::string Arg(const RECT* rect);    // NULL or {left, top, right, bottom}
void LogCall(const std::string& name, std::initializer_list<std::string> args);

// True when StandInFailCall scripted this call to fail now; *result is the failure value.
bool CallFails(const std::string& name, LONG_PTR* result);

// The display description set by StandInSetDisplay.
const StandInDisplay& CurrentDisplay();

// The screen: the desktop, or the display mode that DirectDraw set. Window code uses its
// size for SM_CXSCREEN and SM_CYSCREEN; DirectDraw's primary surface covers it.
struct ScreenMode {
    int width;
    int height;
    int bitsPerPixel;
    DWORD redMask16; // for 16-bit modes: 0xF800 or 0x7C00
};
ScreenMode CurrentScreenMode();
void SetScreenMode(const ScreenMode& mode); // DirectDraw's SetDisplayMode
void RestoreScreenMode();                   // back to the desktop

// Windows, for DirectDraw's clipper and Blt: the client area of a window in screen
// coordinates, and whether a window handle is alive.
bool WindowClientOnScreen(HWND window, RECT* rect);
bool WindowExists(HWND window);

// Resets called by StandInReset, one per part of the stand-in.
void ResetWindows();
void ResetDirectDraw();
void ResetConsole();
void ResetKernel();
