// Shared internals of the stand-in's core, which the Linux program and the page both run
// on: the call log, scripted failures, the display description and the screen. Not part
// of the control interface.
#pragma once

#include <windows.h>
#include <ddraw.h>
#include <StandIn.h>

#include <string>

// Call log: Arg renders one argument the way StandIn.h describes.
std::string Arg(long long value);
std::string Arg(unsigned long long value);
inline std::string Arg(int value) {
    return Arg(static_cast<long long>(value));
}
inline std::string Arg(long value) {
    return Arg(static_cast<long long>(value));
}
inline std::string Arg(unsigned value) {
    return Arg(static_cast<unsigned long long>(value));
}
inline std::string Arg(unsigned long value) {
    return Arg(static_cast<unsigned long long>(value));
}
std::string Arg(const char* text);    // "text" in double quotes, or NULL
std::string Arg(const void* pointer); // NULL or ptr
std::string Arg(const RECT* rect);    // NULL or {left, top, right, bottom}
void LogCall(const std::string& name, std::initializer_list<std::string> args);

// Logs a call and tells whether StandInFailCall scripted it to fail now; *failure is the
// scripted failure value then (0 when the script gave none).
bool LoggedCallFails(const std::string& name, std::initializer_list<std::string> args,
                     LONG_PTR* failure);

// The log records calls only in tests (from StandInReset on), so that a long real run
// does not grow it without bound.
void EnableCallLog(bool enabled);

// The clock without logging a call: the virtual clock in tests, else the tick counter.
DWORD CurrentTicks();
// Waits until the clock reaches ticks (at once on the virtual clock); a time already
// passed returns at once.
void WaitUntilTicks(DWORD ticks);

// The platform's real clock (one file per platform edge): milliseconds that wrap around
// every 2^32, and sleeping for a time.
DWORD RealTicks();
void SleepForReal(DWORD milliseconds);

// A real run's frame times (FrameTimes.cpp): the monotonic clock in nanoseconds; a call's
// start on it (0 when no times are kept), and its time since counted as a presentation
// call or a message function; a wait of the real clock (Sleep), from its start to its
// end, and the deadline it was asked to end at.
enum class FrameCall { Presentation, Messages };
unsigned long long FrameClock();
unsigned long long StartFrameCall();
void CountFrameCall(FrameCall call, unsigned long long started);
void CountWait(unsigned long long started, unsigned long long deadline, unsigned long long ended);

// Built-in libraries for LoadLibraryA and GetProcAddress. resolve returns an export's
// entry point by name, or NULL. The DirectDraw part registers "DDraw.dll".
void RegisterBuiltinLibrary(const char* name, FARPROC (*resolve)(const char* exportName));
// The handle of a built-in library that is loaded now, else NULL (GetModuleHandleA).
HMODULE LoadedBuiltinLibrary(const char* name);

// Terminal input of a real run (one file per platform edge): the records that are
// waiting now; reading records (waits for one).
DWORD TerminalPendingRecords();
// Switches the console from the scripted queue to standard input and forgets what was
// read from it so far (for tests of the terminal input).
void UseTerminalInput();
void ResetTerminalInput();
BOOL ReadTerminalRecords(PINPUT_RECORD buffer, DWORD length, LPDWORD read);
// Questions on the terminal: whether standard input is one, and one key typed there
// (the byte, or -1 at the end of input).
bool TerminalAvailable();
int ReadTerminalKey();

// How a message box without a scripted answer is shown to the person: returns the
// answer (IDOK, IDYES, ...) or 0 when it cannot be shown. By default it asks on the
// terminal; a graphical layer linked in may replace it at start-up. StandInReset sets
// one that shows nothing and answers 0.
typedef int (*MessageBoxPresenter)(HWND owner, const char* text, const char* caption, UINT type);
extern MessageBoxPresenter PresentMessageBox;
// The terminal's presentation: caption and text on standard error, the answer by one
// key on standard input; 0 when standard input is not a terminal or has ended.
int PresentOnTerminal(HWND owner, const char* text, const char* caption, UINT type);
// The answer a key gives in a box of this type on the terminal, or 0 when the key
// means nothing there. Return is the first button; Escape is Cancel.
int MessageBoxAnswerForKey(UINT type, int key);

// How the stand-in shows its windows and its screen to a person, and takes the person's
// input. A graphical layer linked into a program fills it in at start-up; every member
// may be null (tests, and programs without that layer), and the logic runs the same.
struct PresentationHooks {
    // The first look at the display description: may put the real display's size and
    // depth in place of the default desktop's. Not called once tests set the display.
    void (*describeDesktop)(StandInDisplay* display);
    // CreateWindowExA asks first: false when no window can be shown (no display), and
    // the creation fails.
    bool (*canShowWindows)();
    // A window's visibility, place, size or title changed; a window is being destroyed.
    void (*windowChanged)(HWND window);
    void (*windowDestroyed)(HWND window);
    // ShowCursor's display count: the cursor shows while it is 0 or more.
    void (*cursorCountChanged)(int count);
    // The screen's pixels changed in this area (screen coordinates).
    void (*screenChanged)(const RECT& area);
    // A display mode was set (true) or the desktop's is back (false).
    void (*screenModeChanged)(bool modeSet);
    // The message functions are about to look at the queue: the person's input comes in.
    void (*takeInput)();
    // GetMessageA found the queue empty: waits for the person's input; false when none
    // can ever come.
    bool (*waitForInput)();
    // Sleep has fixed when it ends and is about to wait; and its wait is over. Work kept
    // out of the program's frame runs in between.
    void (*waitBegins)();
    void (*waitEnds)();
};
extern PresentationHooks PresentationLayer;

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
// Whether two modes show the same pixels alike: size, depth, and a 16-bit mode's layout
// (the red mask means nothing at other depths).
bool SameMode(const ScreenMode& a, const ScreenMode& b);
// Bytes per pixel of a depth: 15 bits take 2 bytes like 16.
inline DWORD BytesPerPixelOfDepth(int bitsPerPixel) {
    return static_cast<DWORD>(bitsPerPixel + 1) / 8;
}
// StandInReadScreen into a buffer that keeps its memory from call to call; false (and
// empty) for an area not on the screen.
bool ReadScreenInto(const RECT& area, std::vector<uint8_t>* pixels);
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
void ResetHeap();
void ResetLibraries();
void ResetCallLog();
void ResetMessageBoxes();
