// Control interface of the stand-in, for its tests: the program's own code (driver/,
// effect/, video/) never includes this header. Tests script what a person or the machine
// would do (answer a message box, press a key in the console, offer display modes, fail
// a call) and read back what the program did (the calls it made, the boxes it showed, the
// screen). The platform edges, beside their contract with the core (StandInEdge.h), use
// a few of its parts too: StandInDisplay to describe the desktop, and the Linux screen
// layer StandInReadScreen and StandInWindows.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <string>
#include <vector>

// Puts the stand-in back into its initial state: no windows, classes or queued
// messages, an empty log, no scripted answers or failures, the default display,
// the scripted console (no terminal), and the virtual clock at 0.
void StandInReset();

// --- Calls -------------------------------------------------------------------------
// From StandInReset on, every Win32 and DirectDraw call is logged as one entry "Name(arg, arg,
// ...)": COM methods as "Interface::Method", numbers in decimal, strings in double quotes, null
// pointers and handles as NULL and other pointers and handles as ptr.
std::vector<std::string> StandInCallLog();
// The names alone ("CreateWindowExA", "IDirectDraw4::SetDisplayMode"), in call order.
std::vector<std::string> StandInCallNames();
void StandInClearCallLog();

// Makes the call of this name (as logged) fail with the given result, from its
// (skip + 1)-th call on; skip = 0 fails every call. For Win32 calls the result is the
// function's failure value (0 for handles and BOOL); for COM methods it is the HRESULT.
void StandInFailCall(const std::string& name, LONG_PTR result = 0, int skip = 0);

// Writes the call log, the message boxes and the console output to the file at process
// exit, after every finaliser registered later has run. Lets a death test read back
// what its child process did.
void StandInDumpAtExit(const std::string& path);

// --- Message boxes -------------------------------------------------------------------
// Answers for the next MessageBoxA calls, in order (IDYES, IDNO, IDCANCEL, IDOK, or 0
// for a box that fails). Without a scripted answer a box fails (answer 0) after
// StandInReset; outside tests it is shown to the person.
void StandInQueueMessageBoxAnswer(int answer);
struct StandInMessageBox {
    HWND owner;
    std::string text;
    std::string caption;
    bool captionIsNull;
    UINT type;
    int answer;
};
std::vector<StandInMessageBox> StandInMessageBoxes();

// What StandInDumpAtExit wrote, read back in the parent process. A box's owner there is
// NULL or a non-null placeholder (the handle meant nothing outside the child).
struct StandInDump {
    std::vector<std::string> calls;
    std::vector<std::string> callNames;
    std::vector<StandInMessageBox> boxes;
    std::string console;
};
StandInDump StandInReadDump(const std::string& path);

// --- Console ---------------------------------------------------------------------------
// In scripted mode (the state after StandInReset) the console's input events come only
// from this queue; an event becomes readable once the virtual clock has reached
// visibleAtTick. Outside tests the console reads the terminal.
void StandInQueueConsoleInput(const INPUT_RECORD& record, DWORD visibleAtTick = 0);
INPUT_RECORD StandInKeyEvent(WORD virtualKey, bool keyDown, char ascii = 0);
// Everything written to the standard output and error handles, in order.
std::string StandInConsoleOutput();

// --- Clock -----------------------------------------------------------------------------
// The virtual clock (on after StandInReset): GetTickCount returns it and Sleep advances
// it at once by the time asked, without waiting.
void StandInUseVirtualClock(DWORD startTicks);
void StandInAdvanceClock(DWORD milliseconds);

// --- Heap ----------------------------------------------------------------------------------
// The addresses of the blocks HeapFree released since StandInReset, in order.
std::vector<uintptr_t> StandInFreedBlocks();

// --- Process and libraries ---------------------------------------------------------------
void StandInSetModuleFileName(const std::string& path);
void StandInSetPlatformId(DWORD platformId);
// Makes LoadLibraryA of this library fail, or GetProcAddress of one export return NULL.
void StandInRemoveLibrary(const std::string& name);
void StandInRemoveExport(const std::string& library, const std::string& exportName);

// --- Display ---------------------------------------------------------------------------
struct StandInDisplay {
    int desktopWidth = 1024;
    int desktopHeight = 768;
    int desktopBitsPerPixel = 32;    // also the depth GetDeviceCaps(BITSPIXEL) reports
    DWORD desktopRedMask16 = 0xF800; // 16-bit desktop: 0xF800 (5-6-5) or 0x7C00 (5-5-5)
    int frameWidth = 4;              // SM_CXFRAME
    int frameHeight = 4;             // SM_CYFRAME
    int captionHeight = 19;          // SM_CYCAPTION
    int menuHeight = 19;             // SM_CYMENU
    // Full-screen depths that SetDisplayMode accepts, and the red mask of a 16-bit mode
    // (0xF800, 0x7C00, or 0x001F for 5-6-5 with blue in the top bits).
    std::vector<int> fullScreenDepths = {32, 24, 16};
    DWORD fullScreenRedMask16 = 0xF800;
    // Bytes added after each row of every surface created from now on (guard bytes).
    int surfacePitchPadding = 0;
    // No room left in video memory: a surface asked for there fails with
    // DDERR_OUTOFVIDEOMEMORY, one without a placement goes to system memory.
    bool videoMemoryFull = false;
};
void StandInSetDisplay(const StandInDisplay& display);
StandInDisplay StandInGetDisplay();

// The visible screen: the display mode's size and depth after a successful
// SetDisplayMode, else the desktop's. Reading returns the rows of the area in the screen's
// pixel format, tightly packed (bytes per pixel = (bits + 1) / 8); in full screen the
// screen is the flip chain's front buffer.
int StandInScreenWidth();
int StandInScreenHeight();
int StandInScreenBitsPerPixel();
std::vector<uint8_t> StandInReadScreen(const RECT& area);

// --- Windows -------------------------------------------------------------------------------
// What the person does to a window: a key in the focused window arrives as WM_KEYDOWN and
// WM_KEYUP; dragging moves it by the given distance (WM_MOVE follows).
void StandInPressKey(WORD virtualKey);
void StandInDragWindow(HWND window, int dx, int dy);
// Top-level windows that exist now, in creation order.
std::vector<HWND> StandInWindows();
// The messages a window procedure received, in order, as "WM_NAME" or "0xNNNN".
std::vector<std::string> StandInWindowMessages(HWND window);
