// The stand-in's windows and screen as SDL windows. While the desktop shows, each visible
// top-level window is an SDL window over its client area, showing the screen's pixels
// there; while a display mode is set, one full-screen SDL window shows the whole screen,
// enlarged by the largest whole factor with black borders. A changed screen is handed to
// the presenter where it runs; the main thread draws windows whole when they change.
#include "Screen.h"
#include "Rectangles.h"
#include "WindowManager.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

std::map<HWND, SDL_Window*> Shown;
SDL_Window* FullScreenWindow = nullptr;
bool ModeSet = false;

// SDL windows are at least one pixel wide and high.
int SdlSize(LONG length) {
    return std::max(1, static_cast<int>(length));
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

bool SameMode(const ScreenMode& a, const ScreenMode& b) {
    return a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel &&
           a.redMask16 == b.redMask16;
}

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
    SDL_UpdateWindowSurface(sdl);
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
    const std::vector<uint8_t> pixels = StandInReadScreen(area);
    if (pixels.empty())
        return;
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
    if (state == nullptr || surface == nullptr)
        return;
    const RECT client = state->clientRect;
    const RECT shown = Intersection(client, WholeScreen());
    const int x = shown.left - client.left, y = shown.top - client.top;
    DrawnSurface* drawn = changed != nullptr ? DrawnWhole(sdl, surface, shown) : nullptr;
    if (drawn != nullptr)
        DrawChanged(sdl, surface, drawn, *changed, x, y, 1);
    else
        DrawWhole(sdl, surface, shown, x, y, 1);
}

bool HandToPresenter(const RECT& changed);

// The black around the enlarged screen at (x, y) in the full-screen window, the screen
// itself handed to the presenter: the main thread draws and sends only the surround.
// False when the presenter cannot draw the screen there.
bool DrawSurroundAndHandOver(SDL_Surface* surface, const RECT& screen, int x, int y, int factor) {
    if (!PresentingOnX())
        return false;
    const int width = Width(screen) * factor, height = Height(screen) * factor;
    const SDL_Rect around[] = {{0, 0, surface->w, y},
                               {0, y + height, surface->w, surface->h - y - height},
                               {0, y, x, height},
                               {x + width, y, surface->w - x - width, height}};
    for (const SDL_Rect& rect : around)
        SDL_FillRect(surface, &rect, SDL_MapRGB(surface->format, 0, 0, 0));
    SDL_UpdateWindowSurfaceRects(FullScreenWindow, around, 4);
    return HandToPresenter(screen);
}

// The whole screen enlarged in the middle of the full-screen window, black around it; with
// a changed area, only what changed there once the surface has been drawn whole.
void RedrawFullScreen(const RECT* changed = nullptr) {
    SDL_Surface* surface = SDL_GetWindowSurface(FullScreenWindow);
    if (surface == nullptr)
        return;
    const RECT screen = WholeScreen();
    const int factor = WholeScaleFactor(Width(screen), Height(screen), surface->w, surface->h);
    const int x = (surface->w - Width(screen) * factor) / 2;
    const int y = (surface->h - Height(screen) * factor) / 2;
    if (changed == nullptr && DrawSurroundAndHandOver(surface, screen, x, y, factor))
        return;
    DrawnSurface* drawn =
        changed != nullptr ? DrawnWhole(FullScreenWindow, surface, screen) : nullptr;
    if (drawn != nullptr)
        DrawChanged(FullScreenWindow, surface, drawn, *changed, x, y, factor);
    else
        DrawWhole(FullScreenWindow, surface, screen, x, y, factor);
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

// The picture of the screen for the presenter: the area each SDL window shows, and where.
struct PresentTarget {
    unsigned long xWindow;
    Uint32 windowFormat;
    RECT shown; // the screen's area it shows
    int x, y;   // where that area goes in the window
    int factor;
};
std::vector<PresentTarget> Targets;

bool AddTarget(SDL_Window* sdl, const RECT& shown, int x, int y, int factor) {
    SDL_Surface* surface = SDL_GetWindowSurface(sdl);
    const unsigned long xWindow = XWindowOf(sdl);
    if (surface == nullptr || xWindow == 0 || !PresentableFormat(surface->format->format))
        return false;
    Targets.push_back(PresentTarget{xWindow, surface->format->format, shown, x, y, factor});
    // What SDL's surface holds is no longer what the window shows.
    WhollyDrawn.erase(sdl);
    return true;
}

// Where the picture goes; its pixels are read when the program waits (ReadFrame).
void FillFrame(PresentedFrame* frame) {
    if (frame->areas.size() < Targets.size())
        frame->areas.resize(Targets.size());
    frame->count = 0;
    for (const PresentTarget& target : Targets) {
        PresentedArea& area = frame->areas[frame->count++];
        area.xWindow = target.xWindow;
        area.windowFormat = target.windowFormat;
        area.x = target.x;
        area.y = target.y;
        area.factor = target.factor;
        area.left = target.shown.left;
        area.top = target.shown.top;
        area.width = Width(target.shown);
        area.height = Height(target.shown);
        area.format = ScreenFormat();
    }
}

} // namespace

// On the presenter's thread, while the main thread waits: the screen holds the newest
// picture and nothing writes to it.
void ReadFrame(PresentedFrame* frame) {
    for (size_t i = 0; i < frame->count; ++i) {
        PresentedArea& area = frame->areas[i];
        ReadScreenInto(RECT{area.left, area.top, area.left + area.width, area.top + area.height},
                       &area.pixels);
    }
}

namespace {

// A change of the screen handed to the presenter: whole pictures of every window on
// show, once the change falls in any (a picture that replaces a pending one stands for
// both). False when a window needs the main thread to draw it (the presenter does not
// run, or cannot draw into it).
bool HandToPresenter(const RECT& changed) {
    if (!PresentingOnX())
        return false;
    Targets.clear();
    if (FullScreenWindow != nullptr) {
        SDL_Surface* surface = SDL_GetWindowSurface(FullScreenWindow);
        if (surface == nullptr)
            return false;
        const RECT screen = WholeScreen();
        const int factor = WholeScaleFactor(Width(screen), Height(screen), surface->w, surface->h);
        if (!AddTarget(FullScreenWindow, screen, (surface->w - Width(screen) * factor) / 2,
                       (surface->h - Height(screen) * factor) / 2, factor))
            return false;
    } else {
        bool touched = false;
        for (const auto& [window, sdl] : Shown) {
            const Window* state = LookUpWindow(window);
            if (state == nullptr || (state->style & WS_VISIBLE) == 0)
                continue;
            const RECT shown = Intersection(state->clientRect, WholeScreen());
            if (IsEmpty(shown))
                continue;
            touched = touched || !IsEmpty(Intersection(shown, changed));
            if (!AddTarget(sdl, shown, shown.left - state->clientRect.left,
                           shown.top - state->clientRect.top, 1))
                return false;
        }
        if (!touched)
            return true;
    }
    HandOffFrame(FillFrame);
    return true;
}

} // namespace

bool CanShowWindows() {
    return DisplayAvailable();
}

void WindowChanged(HWND window) {
    const auto changing = ChangeSdlWindows();
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
    const auto changing = ChangeSdlWindows();
    WhollyDrawn.erase(found->second);
    SDL_DestroyWindow(found->second);
    Shown.erase(found);
}

void CursorCountChanged(int count) {
    if (DisplayAvailable())
        SDL_ShowCursor(count >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

void ScreenChanged(const RECT& area) {
    if (HandToPresenter(area))
        return;
    const auto changing = ChangeSdlWindows();
    if (FullScreenWindow != nullptr) {
        RedrawFullScreen(&area);
        return;
    }
    for (const auto& [window, sdl] : Shown) {
        const Window* state = LookUpWindow(window);
        if (state != nullptr && (state->style & WS_VISIBLE) != 0 &&
            !IsEmpty(Intersection(state->clientRect, area)))
            RedrawWindow(window, sdl, &area);
    }
}

void ScreenModeChanged(bool modeSet) {
    if (!DisplayAvailable())
        return;
    const auto changing = ChangeSdlWindows();
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
    const auto changing = ChangeSdlWindows();
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
    const auto changing = ChangeSdlWindows();
    if (FullScreenWindow != nullptr)
        SDL_DestroyWindow(FullScreenWindow);
    FullScreenWindow = nullptr;
    for (const auto& [window, sdl] : Shown)
        SDL_DestroyWindow(sdl);
    Shown.clear();
    WhollyDrawn.clear();
}
