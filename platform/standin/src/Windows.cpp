// Top-level windows: creation with the messages Windows sends, destruction, showing,
// activation and keyboard focus, and the control interface's view of windows.
#include "WindowManager.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace {

// Handles are numbers that are never reused, in creation order.
std::map<uintptr_t, Window> Windows;
uintptr_t NextHandle = 0x10010;
std::map<HWND, std::vector<std::string>> ReceivedMessages;

HWND ActiveWindow = nullptr;
HWND Focus = nullptr;
int CursorCount = 0;

// At most the maximum, then at least the minimum, as Windows applies the two.
int Clamp(int value, LONG minimum, LONG maximum) {
    return std::max(static_cast<int>(minimum), std::min(value, static_cast<int>(maximum)));
}

// A window its procedure refused at WM_NCCREATE or WM_CREATE goes without WM_DESTROY.
void DiscardWindow(HWND window) {
    SendToWindow(window, WM_NCDESTROY, 0, 0);
    if (PresentationLayer.windowDestroyed != nullptr)
        PresentationLayer.windowDestroyed(window);
    RemoveWindowMessages(window);
    Windows.erase(reinterpret_cast<uintptr_t>(window));
}

void Activate(HWND window) {
    const HWND previous = ActiveWindow;
    if (previous == window)
        return;
    if (previous != nullptr) {
        SendToWindow(previous, WM_NCACTIVATE, FALSE, 0);
        SendToWindow(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
    } else {
        SendToWindow(window, WM_ACTIVATEAPP, TRUE, 0);
    }
    ActiveWindow = window;
    SendToWindow(window, WM_NCACTIVATE, TRUE, 0);
    // The default procedure gives the newly active window the keyboard focus.
    SendToWindow(window, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
}

// The visible window created last other than this one, or null.
HWND NextWindowToActivate(HWND leaving) {
    for (auto it = Windows.rbegin(); it != Windows.rend(); ++it)
        if (it->second.handle != leaving && !it->second.destroying &&
            (it->second.style & WS_VISIBLE) != 0)
            return it->second.handle;
    return nullptr;
}

// A hidden or destroyed window gives up activation and focus: to the next window of
// the application if there is one, else the application becomes inactive.
void Deactivate(HWND window) {
    if (ActiveWindow == window) {
        if (const HWND next = NextWindowToActivate(window)) {
            Activate(next);
            return;
        }
        SendToWindow(window, WM_NCACTIVATE, FALSE, 0);
        SendToWindow(window, WM_ACTIVATE, WA_INACTIVE, 0);
        SendToWindow(window, WM_ACTIVATEAPP, FALSE, 0);
        ActiveWindow = nullptr;
    }
    if (Focus == window) {
        Focus = nullptr;
        SendToWindow(window, WM_KILLFOCUS, 0, 0);
    }
}

void SendSizeAndMove(HWND window) {
    Window* state = LookUpWindow(window);
    if (state == nullptr)
        return;
    state->needsSize = false;
    const RECT client = state->clientRect;
    SendToWindow(window, WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(client.right - client.left, client.bottom - client.top));
    SendToWindow(window, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
}

BOOL ShowWindowNow(HWND window, int command) {
    Window* state = LookUpWindow(window);
    const bool wasVisible = (state->style & WS_VISIBLE) != 0;
    if (command == SW_HIDE) {
        if (!wasVisible)
            return FALSE;
        SendToWindow(window, WM_SHOWWINDOW, FALSE, 0);
        SetWindowPosNow(window, 0, 0, 0, 0,
                        SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Deactivate(window);
        return TRUE;
    }
    if (wasVisible)
        return TRUE;
    SendToWindow(window, WM_SHOWWINDOW, TRUE, 0);
    UINT flags = SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER;
    if (command == SW_SHOWNA || command == SW_SHOWNOACTIVATE)
        flags |= SWP_NOACTIVATE;
    SetWindowPosNow(window, 0, 0, 0, 0, flags);
    if ((state = LookUpWindow(window)) != nullptr && state->needsSize)
        SendSizeAndMove(window);
    return FALSE;
}

// Where CW_USEDEFAULT puts an overlapped window, and how large it makes it.
void DefaultPlacement(int* x, int* y, int* width, int* height, bool defaultSize) {
    const ScreenMode screen = CurrentScreenMode();
    *x = screen.width / 16;
    *y = screen.height / 16;
    if (defaultSize) {
        *width = screen.width * 3 / 4;
        *height = screen.height * 3 / 4;
    }
}

HWND CreateWindowNow(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    if (!ClassExists(className)) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    // Without a display a person could see, there is no desktop to put a window on.
    if (PresentationLayer.canShowWindows != nullptr && !PresentationLayer.canShowWindows()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    // The stand-in has top-level windows only.
    if ((style & WS_CHILD) != 0) {
        SetLastError(parent == nullptr ? ERROR_TLW_WITH_WSCHILD : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (parent != nullptr && LookUpWindow(parent) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    const bool overlapped = (style & WS_POPUP) == 0;
    // An overlapped window always has a caption.
    if (overlapped)
        style |= WS_CLIPSIBLINGS | WS_CAPTION;
    if (x == CW_USEDEFAULT || width == CW_USEDEFAULT) {
        if (overlapped) {
            int defaultX = 0;
            int defaultY = 0;
            DefaultPlacement(&defaultX, &defaultY, &width, &height, width == CW_USEDEFAULT);
            if (x == CW_USEDEFAULT) {
                x = defaultX;
                y = defaultY;
            }
        } else {
            if (x == CW_USEDEFAULT)
                x = y = 0;
            if (width == CW_USEDEFAULT)
                width = height = 0;
        }
    }

    const HWND handle = reinterpret_cast<HWND>(NextHandle);
    NextHandle += 4;
    Window& created = Windows[reinterpret_cast<uintptr_t>(handle)];
    created = Window{handle,   ClassName(className), ClassProcedure(className),
                     instance, std::string(),        style & ~static_cast<DWORD>(WS_VISIBLE),
                     exStyle,  RECT{x, y, x, y},     RECT{x, y, x, y},
                     false,    overlapped,           false};
    ReceivedMessages[handle].clear();

    if (HasTrackingSize(style)) {
        const MINMAXINFO limits = QueryMinMaxInfo(handle);
        if (LookUpWindow(handle) == nullptr)
            return nullptr;
        width = Clamp(width, limits.ptMinTrackSize.x, limits.ptMaxTrackSize.x);
        height = Clamp(height, limits.ptMinTrackSize.y, limits.ptMaxTrackSize.y);
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
    LookUpWindow(handle)->windowRect = RECT{x, y, x + width, y + height};

    CREATESTRUCTA create{
        param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    if (SendToWindow(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) == 0) {
        DiscardWindow(handle);
        return nullptr;
    }
    RECT client = LookUpWindow(handle)->windowRect;
    SendToWindow(handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
    LookUpWindow(handle)->clientRect = client;
    if (SendToWindow(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DiscardWindow(handle);
        return nullptr;
    }
    if (LookUpWindow(handle) == nullptr)
        return nullptr;
    // A popup learns its size and place now, an overlapped window when first shown.
    if (!overlapped)
        SendSizeAndMove(handle);
    if ((style & WS_VISIBLE) != 0 && LookUpWindow(handle) != nullptr)
        ShowWindowNow(handle, SW_SHOW);
    return LookUpWindow(handle) != nullptr ? handle : nullptr;
}

// Fails the call of a Win32 function on a handle that names no window.
Window* ValidWindow(HWND window) {
    Window* state = LookUpWindow(window);
    if (state == nullptr)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return state;
}

} // namespace

Window* LookUpWindow(HWND window) {
    const auto found = Windows.find(reinterpret_cast<uintptr_t>(window));
    return found != Windows.end() ? &found->second : nullptr;
}

LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const Window* state = LookUpWindow(window);
    if (state == nullptr || state->procedure == nullptr)
        return 0;
    ReceivedMessages[window].push_back(MessageName(message));
    return state->procedure(window, message, wParam, lParam);
}

bool ClassHasWindows(const std::string& className) {
    for (const auto& [handle, window] : Windows)
        if (window.className == className)
            return true;
    return false;
}

BOOL DestroyWindowNow(HWND window) {
    Window* state = LookUpWindow(window);
    if (state == nullptr || state->destroying)
        return state != nullptr;
    if ((state->style & WS_VISIBLE) != 0)
        SetWindowPosNow(window, 0, 0, 0, 0,
                        SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Deactivate(window);
    if ((state = LookUpWindow(window)) == nullptr)
        return TRUE;
    state->destroying = true;
    SendToWindow(window, WM_DESTROY, 0, 0);
    SendToWindow(window, WM_NCDESTROY, 0, 0);
    if (PresentationLayer.windowDestroyed != nullptr)
        PresentationLayer.windowDestroyed(window);
    RemoveWindowMessages(window);
    if (Focus == window)
        Focus = nullptr;
    if (ActiveWindow == window)
        ActiveWindow = nullptr;
    Windows.erase(reinterpret_cast<uintptr_t>(window));
    return TRUE;
}

HWND SetFocusNow(HWND window) {
    const HWND previous = Focus;
    if (window == previous)
        return previous;
    // Focusing a window of an inactive top-level window activates it first; the
    // activation itself sets the focus.
    if (window != nullptr && ActiveWindow != window) {
        Activate(window);
        return previous;
    }
    Focus = window;
    if (previous != nullptr)
        SendToWindow(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window != nullptr)
        SendToWindow(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND FocusedWindow() {
    return Focus;
}

void ActivateWindow(HWND window) {
    Activate(window);
}

HWND WindowToPaint(HWND filter) {
    for (const auto& [handle, window] : Windows) {
        if (filter != nullptr && window.handle != filter)
            continue;
        if (window.needsPaint && (window.style & WS_VISIBLE) != 0)
            return window.handle;
    }
    return nullptr;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("CreateWindowExA",
                        {Arg(exStyle), Arg(className), Arg(windowName), Arg(style), Arg(x), Arg(y),
                         Arg(width), Arg(height), Arg(parent), Arg(menu), Arg(instance),
                         Arg(param)},
                        &failure))
        return nullptr;
    return CreateWindowNow(exStyle, className, windowName, style, x, y, width, height, parent, menu,
                           instance, param);
}

BOOL WINAPI DestroyWindow(HWND window) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("DestroyWindow", {Arg(window)}, &failure))
        return FALSE;
    if (ValidWindow(window) == nullptr)
        return FALSE;
    return DestroyWindowNow(window);
}

BOOL WINAPI IsWindow(HWND window) {
    LogCall("IsWindow", {Arg(window)});
    return LookUpWindow(window) != nullptr ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND window) {
    LogCall("IsWindowVisible", {Arg(window)});
    const Window* state = LookUpWindow(window);
    return state != nullptr && (state->style & WS_VISIBLE) != 0 ? TRUE : FALSE;
}

BOOL WINAPI ShowWindow(HWND window, int cmdShow) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("ShowWindow", {Arg(window), Arg(cmdShow)}, &failure))
        return FALSE;
    if (ValidWindow(window) == nullptr)
        return FALSE;
    return ShowWindowNow(window, cmdShow);
}

BOOL WINAPI UpdateWindow(HWND window) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("UpdateWindow", {Arg(window)}, &failure))
        return FALSE;
    const Window* state = ValidWindow(window);
    if (state == nullptr)
        return FALSE;
    if (state->needsPaint && (state->style & WS_VISIBLE) != 0)
        SendToWindow(window, WM_PAINT, 0, 0);
    return TRUE;
}

HWND WINAPI SetFocus(HWND window) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("SetFocus", {Arg(window)}, &failure))
        return nullptr;
    if (window != nullptr && ValidWindow(window) == nullptr)
        return nullptr;
    return SetFocusNow(window);
}

HWND WINAPI GetFocus() {
    LogCall("GetFocus", {});
    return Focus;
}

int WINAPI ShowCursor(BOOL show) {
    LogCall("ShowCursor", {Arg(show)});
    CursorCount += show ? 1 : -1;
    if (PresentationLayer.cursorCountChanged != nullptr)
        PresentationLayer.cursorCountChanged(CursorCount);
    return CursorCount;
}

int WINAPI GetWindowTextA(HWND window, LPSTR text, int maxCount) {
    LogCall("GetWindowTextA", {Arg(window), Arg(static_cast<const void*>(text)), Arg(maxCount)});
    const Window* state = ValidWindow(window);
    if (state == nullptr || text == nullptr || maxCount <= 0)
        return 0;
    const size_t length = std::min(state->title.size(), static_cast<size_t>(maxCount - 1));
    std::memcpy(text, state->title.data(), length);
    text[length] = '\0';
    return static_cast<int>(length);
}

bool WindowExists(HWND window) {
    return LookUpWindow(window) != nullptr;
}

bool WindowClientOnScreen(HWND window, RECT* rect) {
    const Window* state = LookUpWindow(window);
    if (state == nullptr)
        return false;
    *rect = state->clientRect;
    return true;
}

void ResetWindows() {
    Windows.clear();
    ReceivedMessages.clear();
    ActiveWindow = nullptr;
    Focus = nullptr;
    CursorCount = 0;
    ResetWindowClasses();
    ResetMessageQueue();
}

std::vector<HWND> StandInWindows() {
    std::vector<HWND> windows;
    for (const auto& [handle, window] : Windows)
        windows.push_back(window.handle);
    return windows;
}

std::vector<std::string> StandInWindowMessages(HWND window) {
    const auto found = ReceivedMessages.find(window);
    return found != ReceivedMessages.end() ? found->second : std::vector<std::string>();
}

void StandInDragWindow(HWND window, int dx, int dy) {
    const Window* state = LookUpWindow(window);
    if (state == nullptr)
        return;
    SetWindowPosNow(window, state->windowRect.left + dx, state->windowRect.top + dy, 0, 0,
                    SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
