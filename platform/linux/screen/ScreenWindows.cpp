// The stand-in's windows and screen as SDL windows. While the desktop shows, each visible
// top-level window is an SDL window over its client area, showing the screen's pixels
// there; while a display mode is set, one full-screen SDL window shows the whole screen,
// enlarged by the largest whole factor with black borders.
#include "Screen.h"

#include <algorithm>
#include <map>

namespace {

std::map<HWND, SDL_Window*> Shown;
SDL_Window* FullScreenWindow = nullptr;
bool ModeSet = false;

LONG Width(const RECT& rect) {
    return rect.right - rect.left;
}
LONG Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

RECT Intersection(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

// SDL windows are at least one pixel wide and high.
int SdlSize(LONG length) {
    return std::max(1, static_cast<int>(length));
}

bool IsEmpty(const RECT& rect) {
    return rect.left >= rect.right || rect.top >= rect.bottom;
}

RECT WholeScreen() {
    const ScreenMode mode = CurrentScreenMode();
    return RECT{0, 0, mode.width, mode.height};
}

// Draws the screen's pixels of an area onto the surface at (x, y), factor times enlarged.
void DrawScreenArea(const RECT& area, SDL_Surface* surface, int x, int y, int factor) {
    if (IsEmpty(area))
        return;
    const ScreenMode mode = CurrentScreenMode();
    const std::vector<uint8_t> pixels = StandInReadScreen(area);
    if (!pixels.empty())
        DrawPixels(pixels.data(), ScreenPixelFormat(mode.bitsPerPixel, mode.redMask16), Width(area),
                   Height(area), surface, x, y, factor);
}

// A window over the desktop: the screen's pixels under its client area, black where the
// client area leaves the screen.
void RedrawWindow(HWND window, SDL_Window* sdl) {
    const Window* state = LookUpWindow(window);
    SDL_Surface* surface = SDL_GetWindowSurface(sdl);
    if (state == nullptr || surface == nullptr)
        return;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    const RECT client = state->clientRect;
    const RECT area = Intersection(client, WholeScreen());
    DrawScreenArea(area, surface, area.left - client.left, area.top - client.top, 1);
    SDL_UpdateWindowSurface(sdl);
}

void RedrawFullScreen() {
    SDL_Surface* surface = SDL_GetWindowSurface(FullScreenWindow);
    if (surface == nullptr)
        return;
    const RECT screen = WholeScreen();
    const int factor = WholeScaleFactor(Width(screen), Height(screen), surface->w, surface->h);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    DrawScreenArea(screen, surface, (surface->w - Width(screen) * factor) / 2,
                   (surface->h - Height(screen) * factor) / 2, factor);
    SDL_UpdateWindowSurface(FullScreenWindow);
}

// The client sizes the window's tracking sizes allow: resizable only between them, fixed
// when they are equal.
void LimitSize(HWND window, SDL_Window* sdl) {
    const Window* state = LookUpWindow(window);
    if (state == nullptr || !HasTrackingSize(state->style))
        return;
    const LONG extraWidth = Width(state->windowRect) - Width(state->clientRect);
    const LONG extraHeight = Height(state->windowRect) - Height(state->clientRect);
    const MINMAXINFO limits = QueryMinMaxInfo(window);
    const int minWidth = std::max(1, static_cast<int>(limits.ptMinTrackSize.x - extraWidth));
    const int minHeight = std::max(1, static_cast<int>(limits.ptMinTrackSize.y - extraHeight));
    const int maxWidth = std::max(minWidth, static_cast<int>(limits.ptMaxTrackSize.x - extraWidth));
    const int maxHeight =
        std::max(minHeight, static_cast<int>(limits.ptMaxTrackSize.y - extraHeight));
    if (minWidth == maxWidth && minHeight == maxHeight)
        return;
    SDL_SetWindowResizable(sdl, SDL_TRUE);
    SDL_SetWindowMinimumSize(sdl, minWidth, minHeight);
    SDL_SetWindowMaximumSize(sdl, maxWidth, maxHeight);
}

SDL_Window* CreateSdlWindow(HWND window) {
    const Window* state = LookUpWindow(window);
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if ((state->style & WS_CAPTION) != WS_CAPTION)
        flags |= SDL_WINDOW_BORDERLESS;
    const RECT client = state->clientRect;
    SDL_Window* sdl = SDL_CreateWindow(state->title.c_str(), client.left, client.top,
                                       SdlSize(Width(client)), SdlSize(Height(client)), flags);
    if (sdl == nullptr)
        return nullptr;
    Shown[window] = sdl;
    LimitSize(window, sdl);
    return sdl;
}

// Brings an SDL window to the stand-in window's title, place and size, and shows it.
void FollowWindow(HWND window, SDL_Window* sdl) {
    const Window* state = LookUpWindow(window);
    if (state->title != SDL_GetWindowTitle(sdl))
        SDL_SetWindowTitle(sdl, state->title.c_str());
    const RECT client = state->clientRect;
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(sdl, &x, &y);
    if (x != client.left || y != client.top)
        SDL_SetWindowPosition(sdl, client.left, client.top);
    SDL_GetWindowSize(sdl, &width, &height);
    if (width != Width(client) || height != Height(client))
        SDL_SetWindowSize(sdl, SdlSize(Width(client)), SdlSize(Height(client)));
    if ((SDL_GetWindowFlags(sdl) & SDL_WINDOW_HIDDEN) != 0)
        SDL_ShowWindow(sdl);
}

} // namespace

bool CanShowWindows() {
    return DisplayAvailable();
}

void WindowChanged(HWND window) {
    const Window* state = LookUpWindow(window);
    if (state == nullptr || !DisplayAvailable())
        return;
    const auto found = Shown.find(window);
    SDL_Window* sdl = found != Shown.end() ? found->second : nullptr;
    if ((state->style & WS_VISIBLE) == 0 || ModeSet) {
        if (sdl != nullptr)
            SDL_HideWindow(sdl);
        return;
    }
    if (sdl == nullptr && (sdl = CreateSdlWindow(window)) == nullptr)
        return;
    // Asking the tracking sizes ran the window's procedure, which may have destroyed it.
    if (LookUpWindow(window) == nullptr)
        return;
    FollowWindow(window, sdl);
    RedrawWindow(window, sdl);
}

void WindowDestroyed(HWND window) {
    const auto found = Shown.find(window);
    if (found == Shown.end())
        return;
    SDL_DestroyWindow(found->second);
    Shown.erase(found);
}

void CursorCountChanged(int count) {
    if (DisplayAvailable())
        SDL_ShowCursor(count >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

void ScreenChanged(const RECT& area) {
    if (FullScreenWindow != nullptr) {
        RedrawFullScreen();
        return;
    }
    for (const auto& [window, sdl] : Shown) {
        const Window* state = LookUpWindow(window);
        if (state != nullptr && (state->style & WS_VISIBLE) != 0 &&
            !IsEmpty(Intersection(state->clientRect, area)))
            RedrawWindow(window, sdl);
    }
}

void ScreenModeChanged(bool modeSet) {
    if (!DisplayAvailable())
        return;
    ModeSet = modeSet;
    if (!modeSet) {
        if (FullScreenWindow != nullptr)
            SDL_DestroyWindow(FullScreenWindow);
        FullScreenWindow = nullptr;
        for (HWND window : StandInWindows())
            WindowChanged(window);
        return;
    }
    for (const auto& [window, sdl] : Shown)
        SDL_HideWindow(sdl);
    if (FullScreenWindow == nullptr) {
        // Titled after the window that holds the focus: the one the program shows through.
        const Window* focused = LookUpWindow(FocusedWindow());
        SDL_Rect bounds{0, 0, 640, 480};
        SDL_GetDisplayBounds(0, &bounds);
        // Borderless at the display's size as well, for X servers without a window
        // manager to carry out the full-screen request.
        FullScreenWindow = SDL_CreateWindow(focused != nullptr ? focused->title.c_str() : "",
                                            bounds.x, bounds.y, bounds.w, bounds.h,
                                            SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP);
        if (FullScreenWindow == nullptr)
            return;
    }
    RedrawFullScreen();
}

HWND WindowOfSdl(Uint32 sdlWindowId) {
    SDL_Window* sdl = SDL_GetWindowFromID(sdlWindowId);
    if (sdl == nullptr)
        return nullptr;
    if (sdl == FullScreenWindow)
        return FocusedWindow();
    for (const auto& [window, shown] : Shown)
        if (shown == sdl)
            return window;
    return nullptr;
}

bool IsFullScreenSdl(Uint32 sdlWindowId) {
    return FullScreenWindow != nullptr && SDL_GetWindowFromID(sdlWindowId) == FullScreenWindow;
}

SDL_Window* SdlWindowOf(HWND window) {
    if (FullScreenWindow != nullptr)
        return FullScreenWindow;
    const auto found = Shown.find(window);
    if (found == Shown.end() || (SDL_GetWindowFlags(found->second) & SDL_WINDOW_HIDDEN) != 0)
        return nullptr;
    return found->second;
}

void RedrawSdlWindow(Uint32 sdlWindowId) {
    if (IsFullScreenSdl(sdlWindowId)) {
        RedrawFullScreen();
        return;
    }
    SDL_Window* sdl = SDL_GetWindowFromID(sdlWindowId);
    for (const auto& [window, shown] : Shown)
        if (shown == sdl)
            RedrawWindow(window, sdl);
}

bool AnySdlWindow() {
    return FullScreenWindow != nullptr || !Shown.empty();
}

void CloseSdlWindows() {
    if (FullScreenWindow != nullptr)
        SDL_DestroyWindow(FullScreenWindow);
    FullScreenWindow = nullptr;
    for (const auto& [window, sdl] : Shown)
        SDL_DestroyWindow(sdl);
    Shown.clear();
}
