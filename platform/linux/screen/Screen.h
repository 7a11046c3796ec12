// The stand-in on screen through SDL2: its message boxes, windows and screen shown to a
// person, and the person's keys and window moves fed back as window messages. The shared
// part's header, for the layer (x11/ and wayland/ included) and its tests; the stand-in
// reaches the layer through its presentation hooks and PresentMessageBox only. Everything
// here runs on the program's own thread.
#pragma once

#include <StandIn.h>
#include <windows.h>

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// --- Start-up (ScreenStart.cpp) -------------------------------------------------------------
// True when SDL's video runs on a display a person can see; the first call starts it. A
// program that finds no display says so in one line on standard error and ends (exit code
// DisplayFailureExitCode): without DISPLAY or WAYLAND_DISPLAY (or SDL_VIDEODRIVER), or
// when the display named cannot be opened. SDL's invisible drivers (offscreen, dummy)
// count as no display, unless a test chose them (UseInvisibleDisplay). The display
// system SDL runs on (DisplaySystem below) is chosen then, and the screen's facts read.
bool DisplayAvailable();
// The exit code of a program that has no display, or loses it.
constexpr int DisplayFailureExitCode = 1;
// What the program must show a person cannot be shown (SDL failed to make its window, or
// the first picture of it): one line on standard error naming WHAT, the display and SDL's
// reason, and the program ends with DisplayFailureExitCode, as a run nobody sees is no run.
// On a test's invisible display (UseInvisibleDisplay) the line is written and it returns.
void EndUnseen(const std::string& what);
// Tests: the screen layer runs on SDL's dummy driver, whose window surfaces are plain
// memory; having no display is then no reason to end.
void UseInvisibleDisplay();
// What the display system found when video started (1, false and false before, and off
// X): the whole factor by which the program is shown on a desktop scaled for a dense
// screen (ScaleForSettings), whether the screen is one of palette entries (an 8-bit X
// screen, which SDL does not describe and the layer draws nothing on), and whether it is
// a deep-colour one (channels wider than 8 bits).
int DesktopScale();
bool ScreenHasPalette();
bool ScreenHasDeepColour();
// The desktop as the display reports it: size in the stand-in's units (the physical size
// divided by the desktop's scale), and the depth Windows would report (32 for 8-bit or
// 10-bit channels in 4 bytes, 24 in 3, 16 with its red mask, 8). A screen of palette
// entries offers no display modes.
void DescribeDesktop(StandInDisplay* display);
void DescribeDesktopMode(const SDL_DisplayMode& mode, int scale, StandInDisplay* display);

// --- Display systems ---------------------------------------------------------------------------
// What the screen is, as a display system finds it when video starts.
struct ScreenFacts {
    int scale = 1;
    bool palette = false;
    bool deepColour = false;
};
// One display system SDL's video runs on (x11/, wayland/): the shared part calls it only
// through this table, chosen once when video starts by SDL's driver; none for SDL's
// invisible drivers (SDL pumps and waits then).
struct DisplaySystem {
    const char* driver;          // SDL's name of its video driver
    const char* displayVariable; // the environment variable that names its display
    // Once SDL's video runs on it, before any window: watches the connection (its loss
    // ends the program, EndWithLostDisplay) and reads the screen's facts.
    void (*start)(ScreenFacts* facts);
    // Ends the program when the display has gone: a cheap look, before anything is made
    // or shown; and a sure one, before a failure is blamed on anything else.
    void (*checkConnection)();
    void (*confirmConnection)();
    // Whether the connection of an SDL window holds events read already (which SDL's pump
    // takes before it polls) or has anything to read (or has broken); and waiting until
    // it has.
    bool (*eventsWaiting)(SDL_Window* window);
    void (*waitForEvents)(SDL_Window* window);
};
extern const DisplaySystem XDisplaySystem;
extern const DisplaySystem WaylandDisplaySystem;
// The display system chosen when video started; NULL for none.
const DisplaySystem* CurrentDisplaySystem();

// --- The desktop's scale (ScreenScale.cpp) -----------------------------------------------
// The factor a desktop's settings give, as Windows shows a program without DPI awareness:
// GDK_SCALE (a whole number) when set, else Xft.dpi (96 dpi is 1, rounded to the nearest,
// at least 1); gdkScale may be NULL, xftDpi 0 for none.
int ScaleForSettings(const char* gdkScale, double xftDpi);
constexpr int MaximumScale = 8;

// --- The display's connection (ScreenConnection.cpp) ------------------------------------------
// SDL's description of a window's side of the display's system (X or Wayland); false for
// none (no window, or SDL cannot tell).
bool DescribeSdlWindow(SDL_Window* window, struct SDL_SysWMinfo* info);
// The program's end when the connection to the display named breaks: one line on standard
// error, the terminal put back, exit code DisplayFailureExitCode (X's and Wayland's alike).
[[noreturn]] void EndWithLostDisplay(const char* name);

// --- Events (ScreenEvents.cpp) ------------------------------------------------------------------
// Whether SDL holds events or the display system's connection has anything (read already
// or to read); true without a display system (SDL must pump then).
bool SdlEventsWaiting(SDL_Window* window);
// Waits until SdlEventsWaiting would be true: through the display system, else
// SDL_WaitEvent.
void WaitForSdlEvents(SDL_Window* window);

// --- Units and pixels (ScreenUnits.cpp) ------------------------------------------------------
// A place or length in the stand-in's units as physical pixels at a whole scale (held to
// int); and a physical place or length as the unit it lies in (rounded down), so that a
// place the program set comes back unchanged.
int PixelsOfUnits(long long units, int scale);
LONG UnitsOfPixels(int pixels, int scale);

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

// --- Message boxes (ScreenMessageBox.cpp) ---------------------------------------------------
// PresentMessageBox of a program on screen: the stand-in's own box in an SDL window at the
// desktop's scale (ScreenBox.h), its text broken to fit the display's usable area, or the
// question on the terminal on a screen of palette entries. A type without buttons, and a
// question a screen of palette entries cannot ask without a terminal, go to standard
// error with the answer 0; a box that cannot be shown ends the program (EndUnseen).
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

// --- Installation (ScreenInstall.cpp) --------------------------------------------------------
// Puts the layer in the stand-in's place for presentation and message boxes (a program
// linked with standin_screen has it done before main).
void InstallScreenLayer();

// --- Windows and the screen (ScreenWindows.cpp) ---------------------------------------------
// The presentation hooks: each visible top-level window is an SDL window over its client
// area while the desktop shows; a display mode shows the whole screen in one full-screen
// SDL window instead. Windows are drawn whole when they change; a change of the screen's
// pixels is drawn when the program next waits (DrawPendingScreen), or at a hand-over once
// the oldest change not drawn is ScreenHoldLimit old (a program that never waits).
bool CanShowWindows();
void WindowChanged(HWND window);
void WindowDestroyed(HWND window);
void CursorCountChanged(int count);
void ScreenChanged(const RECT& area);
void ScreenModeChanged(bool modeSet);
// Draws what changed on the screen since it was last drawn (Sleep's wait begins, and
// before the waits for the person).
void DrawPendingScreen();
constexpr DWORD ScreenHoldLimit = 20; // milliseconds
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
// The presentation hooks: SDL's events become the stand-in's input messages, moves and
// sizes. EndOfWait ends Sleep's wait with a look at SDL's connection, so that the message
// functions right after need not.
void TakeInput();
bool WaitForInput();
void EndOfWait();
