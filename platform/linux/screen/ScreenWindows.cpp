// The stand-in's windows and screen as SDL windows. While the desktop shows, each visible
// top-level window is an SDL window over its client area, showing the screen's pixels
// there at the desktop's scale (places and sizes in the stand-in's units times the scale
// in pixels, each of the screen's pixels a block of them); while a display mode is set,
// one full-screen SDL window shows the whole screen, enlarged by the largest whole factor
// with black borders. Windows are drawn whole when they change. Blt and Flip onto the
// screen only note the area they changed: it is drawn when the program next waits, in the
// time the wait takes anyway (Sleep has fixed its deadline by then), and a frame that
// follows finds the caches and the X server free.
#include "Screen.h"

#include <StandInEdge.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

std::map<HWND, SDL_Window*> Shown;
SDL_Window* FullScreenWindow = nullptr;
bool ModeSet = false;

// A length in the stand-in's units as an SDL window's, at least one pixel.
int SdlSize(LONG length) {
    return std::max(1, PixelsOfUnits(length, DesktopScale()));
}

int SdlPlace(LONG place) {
    return PixelsOfUnits(place, DesktopScale());
}

RECT WholeScreen() {
    const ScreenMode mode = CurrentScreenMode();
    return RECT{0, 0, mode.width, mode.height};
}

// What each SDL window last showed whole: its surface by place and size, the screen's
// mode, and the screen's pixels of the area it shows, as drawn since. A changed surface (a
// new one after a resize) or mode is drawn whole again before parts of it are.
struct DrawnSurface {
    SDL_Surface* surface;
    int width, height;
    ScreenMode mode;
    RECT area;
    std::vector<uint8_t> pixels; // rows packed tightly
};
std::map<SDL_Window*, DrawnSurface> WhollyDrawn;
// The screen's pixels of a changed area, kept from frame to frame so that drawing a frame
// allocates nothing.
std::vector<uint8_t> ChangedPixels;

Uint32 ScreenFormat() {
    const ScreenMode mode = CurrentScreenMode();
    return ScreenPixelFormat(mode.bitsPerPixel, mode.redMask16);
}

size_t ScreenPixelBytes() {
    return BytesPerPixelOfDepth(CurrentScreenMode().bitsPerPixel);
}

// The record of an SDL window whose surface is the one last drawn whole, with the same
// area of the screen in the same mode; NULL when it must be drawn whole.
DrawnSurface* DrawnWhole(SDL_Window* sdl, const SDL_Surface* surface, const RECT& area) {
    const auto found = WhollyDrawn.find(sdl);
    if (found == WhollyDrawn.end())
        return nullptr;
    DrawnSurface& drawn = found->second;
    if (drawn.surface != surface || drawn.width != surface->w || drawn.height != surface->h ||
        !SameMode(drawn.mode, CurrentScreenMode()) || !SameRect(drawn.area, area) ||
        drawn.pixels.empty())
        return nullptr;
    return &drawn;
}

// A window SDL cannot make a surface for, or show the first picture of, shows nothing all
// run long: the program ends (EndUnseen). One drawn before keeps going; on a screen of
// palette entries SDL makes no surfaces, and the program finds its depth refused itself.
void NeverShown(SDL_Window* sdl) {
    if (WhollyDrawn.count(sdl) == 0 && !ScreenHasPalette())
        EndUnseen(std::string("the window \"") + SDL_GetWindowTitle(sdl) + "\"");
}

// Shows a rectangle of the surface, cut to it.
void UpdateSurfaceArea(SDL_Window* sdl, const SDL_Surface* surface, long long x, long long y,
                       long long width, long long height) {
    const long long left = std::max(0LL, x), top = std::max(0LL, y);
    const long long right = std::min(static_cast<long long>(surface->w), x + width);
    const long long bottom = std::min(static_cast<long long>(surface->h), y + height);
    if (left >= right || top >= bottom)
        return;
    const SDL_Rect rect{static_cast<int>(left), static_cast<int>(top),
                        static_cast<int>(right - left), static_cast<int>(bottom - top)};
    SDL_UpdateWindowSurfaceRects(sdl, &rect, 1);
}

// Black all over, then the screen's area at (x, y), factor times enlarged, shown whole and
// remembered.
void DrawWhole(SDL_Window* sdl, SDL_Surface* surface, const RECT& area, int x, int y, int factor) {
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    std::vector<uint8_t> pixels;
    if (!IsEmpty(area)) {
        pixels = StandInReadScreen(area);
        if (!pixels.empty())
            DrawPixels(pixels.data(), ScreenFormat(), Width(area), Height(area), surface, x, y,
                       factor);
    }
    if (SDL_UpdateWindowSurface(sdl) != 0)
        NeverShown(sdl);
    WhollyDrawn[sdl] =
        DrawnSurface{surface, surface->w, surface->h, CurrentScreenMode(), area, std::move(pixels)};
}

// The changed part of the screen's area drawn whole before at (x, y), factor times
// enlarged: only the pixels that differ from what it shows, within their bounding box,
// are drawn and shown again.
void DrawChanged(SDL_Window* sdl, SDL_Surface* surface, DrawnSurface* drawn, const RECT& changed,
                 int x, int y, int factor) {
    const RECT area = Intersection(drawn->area, changed);
    if (IsEmpty(area))
        return;
    if (!ReadScreenInto(area, &ChangedPixels))
        return;
    const std::vector<uint8_t>& pixels = ChangedPixels;
    const size_t pixelBytes = ScreenPixelBytes();
    const size_t rowBytes = static_cast<size_t>(Width(area)) * pixelBytes;
    const size_t shownRowBytes = static_cast<size_t>(Width(drawn->area)) * pixelBytes;
    // The bounding box of the differing pixels, in bytes and rows of the area.
    size_t first = rowBytes, last = 0;
    LONG top = Height(area), bottom = 0;
    for (LONG row = 0; row < Height(area); ++row) {
        const uint8_t* now = pixels.data() + static_cast<size_t>(row) * rowBytes;
        uint8_t* before = drawn->pixels.data() +
                          static_cast<size_t>(area.top - drawn->area.top + row) * shownRowBytes +
                          static_cast<size_t>(area.left - drawn->area.left) * pixelBytes;
        if (std::memcmp(now, before, rowBytes) == 0)
            continue;
        size_t from = 0, to = rowBytes;
        while (now[from] == before[from])
            ++from;
        while (now[to - 1] == before[to - 1])
            --to;
        first = std::min(first, from);
        last = std::max(last, to);
        top = std::min(top, row);
        bottom = row + 1;
        std::memcpy(before + from, now + from, to - from);
    }
    if (top >= bottom)
        return;
    const LONG left = static_cast<LONG>(first / pixelBytes);
    const LONG right = static_cast<LONG>((last + pixelBytes - 1) / pixelBytes);
    const long long atX = x + static_cast<long long>(area.left - drawn->area.left + left) * factor;
    const long long atY = y + static_cast<long long>(area.top - drawn->area.top + top) * factor;
    DrawPixels(pixels.data() + static_cast<size_t>(top) * rowBytes +
                   static_cast<size_t>(left) * pixelBytes,
               ScreenFormat(), right - left, bottom - top, surface, static_cast<int>(atX),
               static_cast<int>(atY), factor, rowBytes);
    UpdateSurfaceArea(sdl, surface, atX, atY, static_cast<long long>(right - left) * factor,
                      static_cast<long long>(bottom - top) * factor);
}

// A window over the desktop: the screen's pixels under its client area, black where the
// client area leaves the screen. With a changed area, only what changed there is drawn
// again once the window's surface has been drawn whole.
void RedrawWindow(HWND window, SDL_Window* sdl, const RECT* changed = nullptr) {
    const Window* state = LookUpWindow(window);
    SDL_Surface* surface = SDL_GetWindowSurface(sdl);
    if (surface == nullptr)
        NeverShown(sdl);
    if (state == nullptr || surface == nullptr)
        return;
    const RECT client = state->clientRect;
    const RECT shown = Intersection(client, WholeScreen());
    const int x = SdlPlace(shown.left - client.left), y = SdlPlace(shown.top - client.top);
    DrawnSurface* drawn = changed != nullptr ? DrawnWhole(sdl, surface, shown) : nullptr;
    if (drawn != nullptr)
        DrawChanged(sdl, surface, drawn, *changed, x, y, DesktopScale());
    else
        DrawWhole(sdl, surface, shown, x, y, DesktopScale());
}

// Where the whole screen goes in the full-screen window: enlarged by the largest whole
// factor that fits, in the middle.
struct Placement {
    int x, y, factor;
};
Placement FullScreenPlacement(const SDL_Surface* surface, const RECT& screen) {
    const int factor = WholeScaleFactor(Width(screen), Height(screen), surface->w, surface->h);
    return Placement{(surface->w - Width(screen) * factor) / 2,
                     (surface->h - Height(screen) * factor) / 2, factor};
}

// The whole screen enlarged in the middle of the full-screen window, black around it; with
// a changed area, only what changed there once the surface has been drawn whole.
void RedrawFullScreen(const RECT* changed = nullptr) {
    SDL_Surface* surface = SDL_GetWindowSurface(FullScreenWindow);
    if (surface == nullptr) {
        NeverShown(FullScreenWindow);
        return;
    }
    const RECT screen = WholeScreen();
    const Placement at = FullScreenPlacement(surface, screen);
    DrawnSurface* drawn =
        changed != nullptr ? DrawnWhole(FullScreenWindow, surface, screen) : nullptr;
    if (drawn != nullptr)
        DrawChanged(FullScreenWindow, surface, drawn, *changed, at.x, at.y, at.factor);
    else
        DrawWhole(FullScreenWindow, surface, screen, at.x, at.y, at.factor);
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
    const int minWidth = SdlSize(limits.ptMinTrackSize.x - extraWidth);
    const int minHeight = SdlSize(limits.ptMinTrackSize.y - extraHeight);
    const int maxWidth = std::max(minWidth, SdlSize(limits.ptMaxTrackSize.x - extraWidth));
    const int maxHeight = std::max(minHeight, SdlSize(limits.ptMaxTrackSize.y - extraHeight));
    if (minWidth == maxWidth && minHeight == maxHeight)
        return;
    SDL_SetWindowResizable(sdl, SDL_TRUE);
    SDL_SetWindowMinimumSize(sdl, minWidth, minHeight);
    SDL_SetWindowMaximumSize(sdl, maxWidth, maxHeight);
}

// SDL's windows are closed at the end of the process, before SDL's video (registered
// after it, so run before it), and the desktop gets its own screen back.
bool ClosedAtExit = false;
void CloseAtExit() {
    if (!ClosedAtExit)
        std::atexit(CloseSdlWindows);
    ClosedAtExit = true;
}

SDL_Window* CreateSdlWindow(HWND window) {
    const Window* state = LookUpWindow(window);
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if ((state->style & WS_CAPTION) != WS_CAPTION)
        flags |= SDL_WINDOW_BORDERLESS;
    const RECT client = state->clientRect;
    SDL_Window* sdl =
        SDL_CreateWindow(state->title.c_str(), SdlPlace(client.left), SdlPlace(client.top),
                         SdlSize(Width(client)), SdlSize(Height(client)), flags);
    if (sdl == nullptr)
        return nullptr;
    CloseAtExit();
    Shown[window] = sdl;
    LimitSize(window, sdl);
    return sdl;
}

// Brings an SDL window to the stand-in window's title, place and size, and shows it. A
// place between two units' pixels (where the window manager put it) is left as it is.
void FollowWindow(HWND window, SDL_Window* sdl) {
    const Window* state = LookUpWindow(window);
    if (state->title != SDL_GetWindowTitle(sdl))
        SDL_SetWindowTitle(sdl, state->title.c_str());
    const RECT client = state->clientRect;
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(sdl, &x, &y);
    if (UnitsOfPixels(x, DesktopScale()) != client.left ||
        UnitsOfPixels(y, DesktopScale()) != client.top)
        SDL_SetWindowPosition(sdl, SdlPlace(client.left), SdlPlace(client.top));
    SDL_GetWindowSize(sdl, &width, &height);
    if (width != SdlSize(Width(client)) || height != SdlSize(Height(client)))
        SDL_SetWindowSize(sdl, SdlSize(Width(client)), SdlSize(Height(client)));
    if ((SDL_GetWindowFlags(sdl) & SDL_WINDOW_HIDDEN) != 0)
        SDL_ShowWindow(sdl);
}

// The screen's area changed since it was last drawn, and when the first of those changes
// came (on the stand-in's clock).
bool Pending = false;
RECT PendingArea{};
DWORD PendingSince = 0;

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
    if (sdl == nullptr && (sdl = CreateSdlWindow(window)) == nullptr) {
        EndUnseen("the window \"" + state->title + "\"");
        return;
    }
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
    WhollyDrawn.erase(found->second);
    SDL_DestroyWindow(found->second);
    Shown.erase(found);
}

void CursorCountChanged(int count) {
    if (DisplayAvailable())
        SDL_ShowCursor(count >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

void ScreenChanged(const RECT& area) {
    const DWORD now = CurrentTicks();
    PendingArea = Pending ? BoundingRect(PendingArea, area) : area;
    if (!Pending)
        PendingSince = now;
    Pending = true;
    // A program that has not waited for a while still gets its pictures shown.
    if (now - PendingSince >= ScreenHoldLimit)
        DrawPendingScreen();
}

void DrawPendingScreen() {
    if (!Pending)
        return;
    Pending = false;
    if (FullScreenWindow != nullptr) {
        RedrawFullScreen(&PendingArea);
        return;
    }
    for (const auto& [window, sdl] : Shown) {
        const Window* state = LookUpWindow(window);
        if (state != nullptr && (state->style & WS_VISIBLE) != 0 &&
            !IsEmpty(Intersection(state->clientRect, PendingArea)))
            RedrawWindow(window, sdl, &PendingArea);
    }
}

void ScreenModeChanged(bool modeSet) {
    if (!DisplayAvailable())
        return;
    ModeSet = modeSet;
    if (!modeSet) {
        if (FullScreenWindow != nullptr) {
            WhollyDrawn.erase(FullScreenWindow);
            SDL_DestroyWindow(FullScreenWindow);
        }
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
        if (FullScreenWindow == nullptr) {
            EndUnseen("the full-screen window");
            return;
        }
        CloseAtExit();
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

SDL_Window* AnySdlWindow() {
    if (FullScreenWindow != nullptr)
        return FullScreenWindow;
    return Shown.empty() ? nullptr : Shown.begin()->second;
}

void CloseSdlWindows() {
    if (FullScreenWindow != nullptr)
        SDL_DestroyWindow(FullScreenWindow);
    FullScreenWindow = nullptr;
    for (const auto& [window, sdl] : Shown)
        SDL_DestroyWindow(sdl);
    Shown.clear();
    WhollyDrawn.clear();
    Pending = false;
}
