// Internals shared by the stand-in's window manager, its default window procedure and
// its message queue (the window record and what the edges use of it are in
// StandInEdge.h). Functions here do what the Win32 calls do, without logging a call:
// the system calls them on its own behalf.
#pragma once

#include "StandInPrivate.h"

#include <string>

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
HWND SetFocusNow(HWND window);
// GetSystemMetrics without logging a call.
int SystemMetric(int index);
// Non-client insets of a style: left/right, top (frame and caption), bottom.
RECT NonClientInsets(DWORD style);

// The message queue.
void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void RemoveWindowMessages(HWND window);
// A window of this thread that needs painting and matches the filter, or null.
HWND WindowToPaint(HWND filter);
void ResetMessageQueue();

// The name StandInWindowMessages shows for a message: "WM_NAME" or "0xNNNN".
std::string MessageName(UINT message);
