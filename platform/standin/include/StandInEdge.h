// The contract between the stand-in's core and its platform edges (the Linux clock,
// terminal and screen layer; the page): what an edge supplies to the core, what it may
// fill in at start-up (the presentation hooks, the message box presenter), and what of
// the core it may use. Edges include this header and StandIn.h, never the core's private
// headers; the program's own code (driver/, effect/, video/) includes neither.
#pragma once

#include <windows.h>
#include <ddraw.h>
#include <StandIn.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// --- The clock -------------------------------------------------------------------------------
// Supplied by each edge: milliseconds that wrap around every 2^32, and sleeping for a time.
DWORD RealTicks();
void SleepForReal(DWORD milliseconds);
// Of the core: the clock without logging a call (the virtual clock in tests, else the
// tick counter), and the monotonic clock of frame times in nanoseconds.
DWORD CurrentTicks();
unsigned long long FrameClock();
// Of the core: brings the memory the program's next frame works on into the processor's
// caches (its large heap blocks and the surfaces' pixels off the screen), for the last
// part of a wait, which is spent reading the clock anyway. A 50 ms sleep leaves them cold.
void WarmFrameMemory();

// --- The terminal ----------------------------------------------------------------------------
// Supplied by each edge, for the console's input: the records waiting now; forgetting
// what was read so far; reading records (waits for one).
DWORD TerminalPendingRecords();
void ResetTerminalInput();
BOOL ReadTerminalRecords(PINPUT_RECORD buffer, DWORD length, LPDWORD read);
// Questions on the terminal: whether standard input is one, and one key typed there
// (the byte, or -1 at the end of input).
bool TerminalAvailable();
int ReadTerminalKey();

// --- Message boxes ---------------------------------------------------------------------------
// A message box's buttons and keys, decided here for every presentation: the buttons left
// to right, the default one, what Escape (and a close button) answers, and the letter that
// presses each button.
struct MessageBoxButton {
    const char* text; // "OK", "Cancel", "Yes", "No"
    int answer;       // IDOK, IDCANCEL, IDYES or IDNO
    char key;         // the lower-case letter that presses it: its first
};
struct MessageBoxButtons {
    MessageBoxButton buttons[3];
    int count;         // 0 for a type the stand-in does not offer
    int defaultButton; // the button Return presses and the focus starts on
    int escapeAnswer;  // Cancel, a lone OK; 0 (nothing) in a Yes/No box
};
MessageBoxButtons MessageBoxButtonsOf(UINT type);
// The answer a key (a byte as typed) gives in a box of this type: Return (CR or LF) the
// default button's, Escape the escape answer, a button's letter in either case that
// button's; 0 when the key means nothing there.
int MessageBoxAnswerForKey(UINT type, int key);

// How a message box without a scripted answer is shown to the person: returns the
// answer (IDOK, IDYES, ...) or 0 when it cannot be shown. By default it asks on the
// terminal; a graphical edge may replace it at start-up. StandInReset sets one that
// shows nothing and answers 0.
typedef int (*MessageBoxPresenter)(HWND owner, const char* text, const char* caption, UINT type);
extern MessageBoxPresenter PresentMessageBox;
// The terminal's presentation: caption and text on standard error, the answer by one
// key on standard input; 0 when standard input is not a terminal or has ended.
int PresentOnTerminal(HWND owner, const char* text, const char* caption, UINT type);

// --- Presentation ----------------------------------------------------------------------------
// How the stand-in shows its windows and its screen to a person, and takes the person's
// input. A graphical edge linked into a program fills it in at start-up; every member
// may be null (tests, and programs without that edge), and the logic runs the same.
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

// --- The screen ------------------------------------------------------------------------------
// The desktop, or the display mode that DirectDraw set.
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

// --- Windows ---------------------------------------------------------------------------------
// Functions here do what the Win32 calls do, without logging a call: the system calls
// them on its own behalf, for the person's doings.
struct Window {
    HWND handle;
    std::string className;
    WNDPROC procedure;
    HINSTANCE instance;
    std::string title;
    DWORD style;
    DWORD exStyle;
    RECT windowRect; // outer rectangle, screen coordinates
    RECT clientRect; // client area, screen coordinates
    bool needsPaint;
    bool needsSize;  // overlapped: WM_SIZE and WM_MOVE wait for the first showing
    bool destroying; // WM_DESTROY is on its way or sent
};
// The live window with this handle, or null. Sending a message may create or destroy
// windows: look the window up again after every send.
Window* LookUpWindow(HWND window);
// Calls the window procedure (and records the message for StandInWindowMessages).
LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL SetWindowPosNow(HWND window, int x, int y, int cx, int cy, UINT flags);
void ActivateWindow(HWND window);
HWND FocusedWindow();
// The tracking sizes the window's procedure sets, starting from the system's defaults.
MINMAXINFO QueryMinMaxInfo(HWND window);
// True when the window's size obeys the tracking sizes (sizing frame or overlapped).
bool HasTrackingSize(DWORD style);
// Puts the person's input (a key message) into the queue for the window.
void PostInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The client area of a window in screen coordinates; false for a window that is gone.
bool WindowClientOnScreen(HWND window, RECT* rect);

// --- Rectangles ------------------------------------------------------------------------------
// As the window manager, the surfaces and the edges compute with them (without the
// logging of the Win32 rectangle calls).
inline LONG Width(const RECT& rect) {
    return rect.right - rect.left;
}
inline LONG Height(const RECT& rect) {
    return rect.bottom - rect.top;
}
inline bool IsEmpty(const RECT& rect) {
    return rect.left >= rect.right || rect.top >= rect.bottom;
}
inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
// Empty (see IsEmpty) when the two do not overlap.
inline RECT Intersection(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}
// The smallest rectangle holding both.
inline RECT BoundingRect(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}
