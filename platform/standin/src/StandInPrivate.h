// Internals of the stand-in's core, shared by its files and its own tests: the call log,
// scripted failures, the clock, built-in libraries, the console's switch to the terminal,
// the display description and the screen's mode. What the platform edges supply and use
// is StandInEdge.h, included here.
#pragma once

#include <StandInEdge.h>

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

// Waits until the clock reaches ticks (at once on the virtual clock); a time already
// passed returns at once.
void WaitUntilTicks(DWORD ticks);

// A real run's frame times (FrameTimes.cpp): the monotonic clock in nanoseconds; a call's
// start on it (0 when no times are kept), and its time since counted as a presentation
// call or a message function; a wait of the real clock (Sleep), from its start to its
// end, and the deadline it was asked to end at.
enum class FrameCall { Presentation, Messages };
unsigned long long StartFrameCall();
void CountFrameCall(FrameCall call, unsigned long long started);
void CountWait(unsigned long long started, unsigned long long deadline, unsigned long long ended);

// Built-in libraries for LoadLibraryA and GetProcAddress. resolve returns an export's
// entry point by name, or NULL. The DirectDraw part registers "DDraw.dll".
void RegisterBuiltinLibrary(const char* name, FARPROC (*resolve)(const char* exportName));
// The handle of a built-in library that is loaded now, else NULL (GetModuleHandleA).
HMODULE LoadedBuiltinLibrary(const char* name);

// Switches the console from the scripted queue to standard input and forgets what was
// read from it so far (for tests of the terminal input).
void UseTerminalInput();

// The display description set by StandInSetDisplay.
const StandInDisplay& CurrentDisplay();

// The screen's mode (StandInEdge.h) set and put back.
void SetScreenMode(const ScreenMode& mode); // DirectDraw's SetDisplayMode
void RestoreScreenMode();                   // back to the desktop

// Windows, for DirectDraw's clipper and Blt: whether a window handle is alive.
bool WindowExists(HWND window);

// The caches warmed for the next frame (CacheWarming.cpp): a block's lines fetched, and
// each part's memory given to it.
void FetchIntoCaches(const void* bytes, size_t size);
void WarmHeapBlocks();
void WarmSurfaces();

// Resets called by StandInReset, one per part of the stand-in.
void ResetWindows();
void ResetDirectDraw();
void ResetConsole();
void ResetKernel();
void ResetHeap();
void ResetLibraries();
void ResetCallLog();
void ResetMessageBoxes();
