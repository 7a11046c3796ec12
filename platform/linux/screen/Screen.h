// The stand-in on screen through SDL2: its message boxes, windows and screen shown to a
// person, and the person's keys and window moves fed back as window messages. Shared
// internals of the presentation layer; the stand-in reaches it through Presenter and
// PresentMessageBox only.
#pragma once

#include "ScreenPixels.h"
#include "ScreenPresenter.h"

#include <StandIn.h>
#include <windows.h>

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

// --- Start-up (ScreenStart.cpp) -------------------------------------------------------------
// True when SDL's video runs on a display a person can see; the first call starts it.
// Without DISPLAY or WAYLAND_DISPLAY (or SDL_VIDEODRIVER) nothing is tried, and SDL's
// invisible drivers (offscreen, dummy) count as no display.
bool DisplayAvailable();
// Whether the display is a screen of palette entries (an 8-bit X screen), which SDL
// neither describes nor draws its message boxes for.
bool ScreenHasPalette();
// The desktop as the display reports it: size, and the depth Windows would report
// (32 for 8-bit channels in 4 bytes, 24 in 3, 16 with its red mask, 8). A screen of
// palette entries offers no display modes.
void DescribeDesktop(StandInDisplay* display);
void DescribeDesktopMode(const SDL_DisplayMode& mode, StandInDisplay* display);

// --- Message boxes (ScreenMessageBox.cpp) ---------------------------------------------------
// What SDL_ShowMessageBox is given for a MessageBoxA: the title and the buttons left to
// right, the first the default for Return, Cancel (or a lone OK) the one for Escape.
// No buttons for a type the stand-in does not offer.
struct MessageBoxLayout {
    std::string title;
    std::vector<SDL_MessageBoxButtonData> buttons; // texts are string literals
};
MessageBoxLayout LayOutMessageBox(const char* caption, UINT type);
// MessageBoxA's answer for SDL's button id; -1 (the box closed) is what Escape gives.
int AnswerForButton(UINT type, int buttonId);
// PresentMessageBox of a program on screen: the box through SDL, or caption and text on
// standard error with the answer 0 when no box can be shown.
int ShowMessageBoxOnScreen(HWND owner, const char* text, const char* caption, UINT type);

// --- Keys (ScreenKeys.cpp) ---------------------------------------------------------------
// The Windows virtual-key code of an SDL key, or 0 for a key without one here.
WORD VirtualKeyOf(SDL_Keycode key);
struct KeyMessage {
    UINT message; // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN or WM_SYSKEYUP
    WPARAM wParam;
    LPARAM lParam;
};
// The window message of an SDL key event; false for a key without a virtual-key code.
bool KeyMessageOf(const SDL_KeyboardEvent& event, KeyMessage* message);

// --- Windows and the screen (ScreenWindows.cpp) ---------------------------------------------
// The Presenter members: each visible top-level window is an SDL window over its client
// area while the desktop shows; a display mode shows the whole screen in one full-screen
// SDL window instead.
bool CanShowWindows();
void WindowChanged(HWND window);
void WindowDestroyed(HWND window);
void CursorCountChanged(int count);
void ScreenChanged(const RECT& area);
void ScreenModeChanged(bool modeSet);
// The stand-in window an SDL window shows (the focused one for the full-screen window),
// the SDL window of a stand-in window (the full-screen one while a mode is set), NULL
// for none.
HWND WindowOfSdl(Uint32 sdlWindowId);
bool IsFullScreenSdl(Uint32 sdlWindowId);
SDL_Window* SdlWindowOf(HWND window);
// Shows the screen again in the SDL window (after it was exposed or resized).
void RedrawSdlWindow(Uint32 sdlWindowId);
// An SDL window that is open, NULL when none is; closing them all (at the end of the
// process).
SDL_Window* AnySdlWindow();
void CloseSdlWindows();

// --- Input (ScreenInput.cpp) -----------------------------------------------------------------
// The Presenter members: SDL's events become the stand-in's input messages, moves and sizes.
// EndOfWait ends Sleep's wait: the presenter's reading is over, and SDL's connection is
// looked at, so that the message functions need not.
void TakeInput();
bool WaitForInput();
void EndOfWait();
