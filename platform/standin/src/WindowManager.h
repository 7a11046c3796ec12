// Internals shared by the stand-in's window manager, its default window procedure and
// its message queue. Functions here do what the Win32 calls do, without logging a call:
// the system calls them on its own behalf.
#pragma once

#include "StandInPrivate.h"

#include <string>

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

// Window classes.
WNDPROC ClassProcedure(LPCSTR className);
bool ClassExists(LPCSTR className);
std::string ClassName(LPCSTR className); // as registered
bool ClassHasWindows(const std::string& className);
void ResetWindowClasses();

// The default window procedure's work.
LRESULT DefaultWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Flags Windows adds to a WINDOWPOS when the client area kept its place or its size; the
// default procedure then leaves out WM_MOVE or WM_SIZE.
constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;

// Window management.
BOOL DestroyWindowNow(HWND window);
BOOL SetWindowPosNow(HWND window, int x, int y, int cx, int cy, UINT flags);
HWND SetFocusNow(HWND window);
void ActivateWindow(HWND window);
HWND FocusedWindow();
// GetSystemMetrics without logging a call.
int SystemMetric(int index);
// Non-client insets of a style: left/right, top (frame and caption), bottom.
RECT NonClientInsets(DWORD style);
// The tracking sizes the window's procedure sets, starting from the system's defaults.
MINMAXINFO QueryMinMaxInfo(HWND window);
// True when the window's size obeys the tracking sizes (sizing frame or overlapped).
bool HasTrackingSize(DWORD style);

// The message queue.
void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void RemoveWindowMessages(HWND window);
// A window of this thread that needs painting and matches the filter, or null.
HWND WindowToPaint(HWND filter);
void ResetMessageQueue();

// The name StandInWindowMessages shows for a message: "WM_NAME" or "0xNNNN".
std::string MessageName(UINT message);
