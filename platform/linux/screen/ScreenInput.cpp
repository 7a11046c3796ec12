// The person's input through SDL, taken in whenever the program looks at its message
// queue: keys become key messages for the focused window, moving a window moves the
// stand-in's (WM_MOVE follows), sizing it is held to its tracking sizes, and the close
// button sends WM_CLOSE. SDL's places and sizes are physical pixels: the stand-in takes
// them in its units, at the desktop's scale.
#include "Screen.h"
#include "Terminal.h"

#include <StandInEdge.h>

#include <algorithm>

namespace {

void Moved(HWND window, int pixelX, int pixelY) {
    const LONG x = UnitsOfPixels(pixelX, DesktopScale());
    const LONG y = UnitsOfPixels(pixelY, DesktopScale());
    const Window* state = LookUpWindow(window);
    const LONG dx = x - state->clientRect.left;
    const LONG dy = y - state->clientRect.top;
    if (dx == 0 && dy == 0)
        return;
    SetWindowPosNow(window, state->windowRect.left + dx, state->windowRect.top + dy, 0, 0,
                    SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The stand-in window takes the new size as far as its tracking sizes allow; its SDL
// window then follows the size it really took.
void Resized(HWND window, int pixelWidth, int pixelHeight) {
    const int scale = DesktopScale();
    const LONG width = std::max<LONG>(1, UnitsOfPixels(pixelWidth, scale));
    const LONG height = std::max<LONG>(1, UnitsOfPixels(pixelHeight, scale));
    const Window* state = LookUpWindow(window);
    if (width == Width(state->clientRect) && height == Height(state->clientRect)) {
        // A size between two units' pixels: the SDL window takes its units' size again.
        if (pixelWidth != PixelsOfUnits(width, scale) ||
            pixelHeight != PixelsOfUnits(height, scale))
            WindowChanged(window);
        return;
    }
    int outerWidth = width + Width(state->windowRect) - Width(state->clientRect);
    int outerHeight = height + Height(state->windowRect) - Height(state->clientRect);
    if (HasTrackingSize(state->style)) {
        const MINMAXINFO limits = QueryMinMaxInfo(window);
        if (LookUpWindow(window) == nullptr)
            return;
        outerWidth = std::clamp(outerWidth, static_cast<int>(limits.ptMinTrackSize.x),
                                std::max(static_cast<int>(limits.ptMinTrackSize.x),
                                         static_cast<int>(limits.ptMaxTrackSize.x)));
        outerHeight = std::clamp(outerHeight, static_cast<int>(limits.ptMinTrackSize.y),
                                 std::max(static_cast<int>(limits.ptMinTrackSize.y),
                                          static_cast<int>(limits.ptMaxTrackSize.y)));
    }
    SetWindowPosNow(window, 0, 0, outerWidth, outerHeight,
                    SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (LookUpWindow(window) != nullptr)
        WindowChanged(window);
}

void HandleWindowEvent(const SDL_WindowEvent& event) {
    if (event.event == SDL_WINDOWEVENT_EXPOSED || event.event == SDL_WINDOWEVENT_SHOWN) {
        RedrawSdlWindow(event.windowID);
        return;
    }
    const HWND window = WindowOfSdl(event.windowID);
    if (LookUpWindow(window) == nullptr)
        return;
    const bool fullScreen = IsFullScreenSdl(event.windowID);
    switch (event.event) {
    case SDL_WINDOWEVENT_MOVED:
        if (!fullScreen)
            Moved(window, event.data1, event.data2);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        if (!fullScreen)
            Resized(window, event.data1, event.data2);
        RedrawSdlWindow(event.windowID);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        ActivateWindow(window);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        SendToWindow(window, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void HandleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        KeyMessage message{};
        if (!KeyMessageOf(event.key, &message))
            return;
        // Keys go to the window with the keyboard focus, as Windows sends them.
        HWND target = FocusedWindow();
        if (target == nullptr)
            target = WindowOfSdl(event.key.windowID);
        if (LookUpWindow(target) != nullptr)
            PostInput(target, message.message, message.wParam, message.lParam);
        break;
    }
    case SDL_WINDOWEVENT:
        HandleWindowEvent(event.window);
        break;
    default:
        break;
    }
}

// SDL's event pump costs tens of microseconds even when nothing came, and a look at its
// connection a few (a system call): the look is taken at the end of each Sleep, in the
// time the wait spends on the clock anyway, and the pump runs only when something came.
// It still runs now and then, for what it does besides (keeping the screen saver off,
// focus changes it delays).
constexpr Uint32 LongestWithoutPump = 1000; // milliseconds
Uint32 LastPump = 0;
// The look at the end of the last wait found nothing; it stands for the next TakeInput
// right after that wait.
bool LookedAndNothing = false;

} // namespace

void EndOfWait() {
    SDL_Window* window = AnySdlWindow();
    LookedAndNothing = window != nullptr && !SdlEventsWaiting(window);
}

void TakeInput() {
    // Nothing to take before a window is on screen (and SDL is not started for it).
    SDL_Window* window = AnySdlWindow();
    if (window == nullptr)
        return;
    const Uint32 now = SDL_GetTicks();
    if (now - LastPump < LongestWithoutPump) {
        const bool lookStands = LookedAndNothing && RightAfterWait();
        LookedAndNothing = false;
        if (lookStands || !SdlEventsWaiting(window))
            return;
    }
    LastPump = now;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        HandleEvent(event);
}

bool WaitForInput() {
    SDL_Window* window = AnySdlWindow();
    if (window == nullptr)
        return false;
    // The person sees the newest picture while the program waits.
    DrawPendingScreen();
    WaitForSdlEvents(window);
    LookedAndNothing = false; // a look taken before the wait no longer stands
    TakeInput();
    return true;
}
