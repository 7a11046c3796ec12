// Window geometry: moving and sizing with WM_WINDOWPOSCHANGING/-CHANGED, the non-client
// area from the display's metrics, rectangles and coordinate conversion.
#include "WindowManager.h"

namespace {

// A geometry query's start, the call logged: the window it reads, or null when the call is
// scripted to fail, or with the error Windows sets when the handle is dead or the result
// pointer is missing.
const Window* QueriedWindow(const char* name, HWND window, const void* result) {
    LONG_PTR failure = 0;
    if (LoggedCallFails(name, {Arg(window), Arg(result)}, &failure))
        return nullptr;
    const Window* state = LookUpWindow(window);
    if (state == nullptr || result == nullptr) {
        SetLastError(state == nullptr ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return state;
}

} // namespace

bool HasTrackingSize(DWORD style) {
    return (style & WS_THICKFRAME) != 0 || (style & (WS_POPUP | WS_CHILD)) == 0;
}

RECT NonClientInsets(DWORD style) {
    const StandInDisplay& display = CurrentDisplay();
    int frameX = 0;
    int frameY = 0;
    if ((style & WS_THICKFRAME) != 0) {
        frameX = display.frameWidth;
        frameY = display.frameHeight;
    } else if ((style & WS_DLGFRAME) != 0) {
        frameX = SystemMetric(SM_CXDLGFRAME);
        frameY = SystemMetric(SM_CYDLGFRAME);
    } else if ((style & WS_BORDER) != 0) {
        frameX = frameY = 1;
    }
    const int caption = (style & WS_CAPTION) == WS_CAPTION ? display.captionHeight : 0;
    return RECT{frameX, frameY + caption, frameX, frameY};
}

MINMAXINFO QueryMinMaxInfo(HWND window) {
    const StandInDisplay& display = CurrentDisplay();
    const ScreenMode screen = CurrentScreenMode();
    MINMAXINFO info{};
    info.ptMaxSize =
        POINT{screen.width + 2 * display.frameWidth, screen.height + 2 * display.frameHeight};
    info.ptMaxPosition = POINT{-display.frameWidth, -display.frameHeight};
    info.ptMinTrackSize = POINT{SystemMetric(SM_CXMINTRACK), SystemMetric(SM_CYMINTRACK)};
    info.ptMaxTrackSize = POINT{SystemMetric(SM_CXMAXTRACK), SystemMetric(SM_CYMAXTRACK)};
    SendToWindow(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
}

BOOL SetWindowPosNow(HWND window, int x, int y, int cx, int cy, UINT flags) {
    Window* state = LookUpWindow(window);
    if (state == nullptr)
        return FALSE;
    const RECT oldWindow = state->windowRect;
    const RECT oldClient = state->clientRect;
    WINDOWPOS position{window, nullptr, x, y, cx, cy, flags};
    if ((flags & SWP_NOMOVE) != 0) {
        position.x = oldWindow.left;
        position.y = oldWindow.top;
    }
    if ((flags & SWP_NOSIZE) != 0) {
        position.cx = Width(oldWindow);
        position.cy = Height(oldWindow);
    }
    if ((flags & SWP_NOSENDCHANGING) == 0)
        SendToWindow(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&position));
    if ((state = LookUpWindow(window)) == nullptr)
        return FALSE;
    position.cx = position.cx < 0 ? 0 : position.cx;
    position.cy = position.cy < 0 ? 0 : position.cy;

    const RECT newWindow{position.x, position.y, position.x + position.cx,
                         position.y + position.cy};
    RECT newClient{};
    const bool resized =
        Width(newWindow) != Width(oldWindow) || Height(newWindow) != Height(oldWindow);
    if (resized || (position.flags & SWP_FRAMECHANGED) != 0) {
        NCCALCSIZE_PARAMS sizes{{newWindow, oldWindow, oldClient}, &position};
        SendToWindow(window, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&sizes));
        if ((state = LookUpWindow(window)) == nullptr)
            return FALSE;
        newClient = sizes.rgrc[0];
    } else {
        // The client area moves with the window.
        const LONG dx = newWindow.left - oldWindow.left;
        const LONG dy = newWindow.top - oldWindow.top;
        newClient = RECT{oldClient.left + dx, oldClient.top + dy, oldClient.right + dx,
                         oldClient.bottom + dy};
    }
    state->windowRect = newWindow;
    state->clientRect = newClient;
    if (newClient.left == oldClient.left && newClient.top == oldClient.top)
        position.flags |= SWP_NOCLIENTMOVE;
    if (Width(newClient) == Width(oldClient) && Height(newClient) == Height(oldClient))
        position.flags |= SWP_NOCLIENTSIZE;
    else
        state->needsPaint = true;
    if ((position.flags & SWP_SHOWWINDOW) != 0 && (state->style & WS_VISIBLE) == 0) {
        state->style |= WS_VISIBLE;
        state->needsPaint = true;
    }
    if ((position.flags & SWP_HIDEWINDOW) != 0)
        state->style &= ~static_cast<DWORD>(WS_VISIBLE);
    if ((position.flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) == 0 &&
        (state->style & WS_VISIBLE) != 0)
        ActivateWindow(window);
    // The person sees the window at its new place before its procedure hears of it.
    if (PresentationLayer.windowChanged != nullptr && LookUpWindow(window) != nullptr)
        PresentationLayer.windowChanged(window);
    SendToWindow(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("MoveWindow",
                        {Arg(window), Arg(x), Arg(y), Arg(width), Arg(height), Arg(repaint)},
                        &failure))
        return FALSE;
    if (LookUpWindow(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SetWindowPosNow(window, x, y, width, height,
                           SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : SWP_NOREDRAW));
}

BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    LONG_PTR failure = 0;
    if (LoggedCallFails(
            "SetWindowPos",
            {Arg(window), Arg(insertAfter), Arg(x), Arg(y), Arg(cx), Arg(cy), Arg(flags)},
            &failure))
        return FALSE;
    if (LookUpWindow(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SetWindowPosNow(window, x, y, cx, cy, flags);
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
    const Window* state = QueriedWindow("GetWindowRect", window, rect);
    if (state == nullptr)
        return FALSE;
    *rect = state->windowRect;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
    const Window* state = QueriedWindow("GetClientRect", window, rect);
    if (state == nullptr)
        return FALSE;
    *rect = RECT{0, 0, Width(state->clientRect), Height(state->clientRect)};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point) {
    const Window* state = QueriedWindow("ClientToScreen", window, point);
    if (state == nullptr)
        return FALSE;
    point->x += state->clientRect.left;
    point->y += state->clientRect.top;
    return TRUE;
}

int WINAPI GetSystemMetrics(int index) {
    LogCall("GetSystemMetrics", {Arg(index)});
    return SystemMetric(index);
}

int SystemMetric(int index) {
    const StandInDisplay& display = CurrentDisplay();
    const ScreenMode screen = CurrentScreenMode();
    switch (index) {
    case SM_CXSCREEN:
        return screen.width;
    case SM_CYSCREEN:
        return screen.height;
    case SM_CYCAPTION:
        return display.captionHeight;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
        return display.frameWidth > 1 ? display.frameWidth - 1 : 1;
    case SM_CYDLGFRAME:
        return display.frameHeight > 1 ? display.frameHeight - 1 : 1;
    case SM_CYMENU:
        return display.menuHeight;
    case SM_CXFRAME:
        return display.frameWidth;
    case SM_CYFRAME:
        return display.frameHeight;
    // The smallest window: a caption bar with room for its text; the largest: the
    // screen and its frame, with a margin.
    case SM_CXMINTRACK:
        return 104 + 2 * display.frameWidth;
    case SM_CYMINTRACK:
        return display.captionHeight + 2 * display.frameHeight;
    case SM_CXMAXTRACK:
        return screen.width + 2 * display.frameWidth + 4;
    case SM_CYMAXTRACK:
        return screen.height + 2 * display.frameHeight + 4;
    default:
        return 0;
    }
}
