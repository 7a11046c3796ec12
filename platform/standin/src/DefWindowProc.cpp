// DefWindowProcA: the standard handling of the messages the stand-in's windows receive.
#include "WindowManager.h"

#include <algorithm>

namespace {

// WM_NCCALCSIZE: the window rectangle becomes the client rectangle.
void ClientFromWindow(HWND window, RECT* rect) {
    const Window* state = LookUpWindow(window);
    if (state == nullptr)
        return;
    const RECT insets = NonClientInsets(state->style);
    rect->left += insets.left;
    rect->top += insets.top;
    rect->right -= insets.right;
    rect->bottom -= insets.bottom;
    rect->right = std::max(rect->right, rect->left);
    rect->bottom = std::max(rect->bottom, rect->top);
}

// WM_WINDOWPOSCHANGING: a new size obeys the tracking sizes.
void LimitSize(HWND window, WINDOWPOS* position) {
    const Window* state = LookUpWindow(window);
    if (state == nullptr || (position->flags & SWP_NOSIZE) != 0 || !HasTrackingSize(state->style))
        return;
    const MINMAXINFO limits = QueryMinMaxInfo(window);
    position->cx = std::max(std::min(position->cx, static_cast<int>(limits.ptMaxTrackSize.x)),
                            static_cast<int>(limits.ptMinTrackSize.x));
    position->cy = std::max(std::min(position->cy, static_cast<int>(limits.ptMaxTrackSize.y)),
                            static_cast<int>(limits.ptMinTrackSize.y));
}

// WM_WINDOWPOSCHANGED: WM_MOVE and WM_SIZE for what changed of the client area.
void ReportPositionChange(HWND window, const WINDOWPOS* position) {
    const Window* state = LookUpWindow(window);
    if (state == nullptr)
        return;
    const RECT client = state->clientRect;
    if ((position->flags & SWP_NOCLIENTMOVE) == 0)
        SendToWindow(window, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
    if ((position->flags & SWP_NOCLIENTSIZE) == 0)
        SendToWindow(window, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(client.right - client.left, client.bottom - client.top));
}

} // namespace

LRESULT DefaultWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        Window* state = LookUpWindow(window);
        if (state != nullptr && create != nullptr && create->lpszName != nullptr &&
            reinterpret_cast<uintptr_t>(create->lpszName) > 0xFFFF)
            state->title = create->lpszName;
        return TRUE;
    }
    case WM_NCCALCSIZE:
        // Both forms start with the proposed window rectangle.
        ClientFromWindow(window, reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_CLOSE:
        DestroyWindowNow(window);
        return 0;
    case WM_WINDOWPOSCHANGING:
        LimitSize(window, reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case WM_WINDOWPOSCHANGED:
        ReportPositionChange(window, reinterpret_cast<const WINDOWPOS*>(lParam));
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            SetFocusNow(window);
        return 0;
    case WM_NCACTIVATE:
        return TRUE;
    case WM_PAINT:
        // Painting nothing still validates the window.
        if (Window* state = LookUpWindow(window))
            state->needsPaint = false;
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return 0;
    }
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LogCall("DefWindowProcA", {Arg(window), Arg(message), Arg(wParam), Arg(lParam)});
    return DefaultWindowProcedure(window, message, wParam, lParam);
}
