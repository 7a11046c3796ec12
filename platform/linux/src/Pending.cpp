// Placeholders for the window manager and the message queue, so that everything links
// while they are being written: every call fails.
#include "StandInPrivate.h"

ATOM WINAPI RegisterClassA(const WNDCLASSA*) {
    return 0;
}
BOOL WINAPI UnregisterClassA(LPCSTR, HINSTANCE) {
    return FALSE;
}
HWND WINAPI CreateWindowExA(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU,
                            HINSTANCE, LPVOID) {
    return nullptr;
}
BOOL WINAPI DestroyWindow(HWND) {
    return FALSE;
}
BOOL WINAPI IsWindow(HWND) {
    return FALSE;
}
BOOL WINAPI IsWindowVisible(HWND) {
    return FALSE;
}
BOOL WINAPI ShowWindow(HWND, int) {
    return FALSE;
}
BOOL WINAPI UpdateWindow(HWND) {
    return FALSE;
}
HWND WINAPI SetFocus(HWND) {
    return nullptr;
}
HWND WINAPI GetFocus() {
    return nullptr;
}
int WINAPI ShowCursor(BOOL) {
    return 0;
}
BOOL WINAPI MoveWindow(HWND, int, int, int, int, BOOL) {
    return FALSE;
}
BOOL WINAPI SetWindowPos(HWND, HWND, int, int, int, int, UINT) {
    return FALSE;
}
BOOL WINAPI GetWindowRect(HWND, LPRECT) {
    return FALSE;
}
BOOL WINAPI GetClientRect(HWND, LPRECT) {
    return FALSE;
}
BOOL WINAPI ClientToScreen(HWND, LPPOINT) {
    return FALSE;
}
int WINAPI GetSystemMetrics(int) {
    return 0;
}
int WINAPI GetWindowTextA(HWND, LPSTR, int) {
    return 0;
}
LRESULT WINAPI DefWindowProcA(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}
LRESULT WINAPI SendMessageA(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}
BOOL WINAPI PostMessageA(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}
void WINAPI PostQuitMessage(int) {}
BOOL WINAPI PeekMessageA(LPMSG, HWND, UINT, UINT, UINT) {
    return FALSE;
}
BOOL WINAPI GetMessageA(LPMSG, HWND, UINT, UINT) {
    return -1;
}
BOOL WINAPI TranslateMessage(const MSG*) {
    return FALSE;
}
LRESULT WINAPI DispatchMessageA(const MSG*) {
    return 0;
}

bool WindowClientOnScreen(HWND, RECT*) {
    return false;
}
bool WindowExists(HWND) {
    return false;
}
void ResetWindows() {}

void StandInPressKey(WORD) {}
void StandInDragWindow(HWND, int, int) {}
std::vector<HWND> StandInWindows() {
    return {};
}
std::vector<std::string> StandInWindowMessages(HWND) {
    return {};
}
