// MessageBoxA on screen: the stand-in's own box (ScreenBox.h) in an SDL window of its own,
// drawn at the desktop's scale and waited on in a loop of its own; drawn again when
// exposed. While it waits, the program's other SDL windows take no input, as Windows
// disables the owner of a modal box, but are drawn again when exposed or resized. On a
// screen of palette entries the question is asked on the terminal. A box whose first
// picture cannot be shown ends the program, as a window's does (EndUnseen); without a
// display the program has ended already (DisplayAvailable).
#include "Screen.h"
#include "ScreenBox.h"

#include <StandInEdge.h>

#include <algorithm>
#include <cstdio>

namespace {

// Caption and text on standard error, for a box that cannot be shown.
int WriteToStandardError(const MessageBoxLayout& layout, const char* text) {
    std::fprintf(stderr, "%s: %s\n", layout.title.c_str(), text != nullptr ? text : "");
    std::fflush(stderr);
    return 0;
}

// The SDL window an event happened in; 0 for events of no window.
Uint32 WindowOfEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return event.key.windowID;
    case SDL_TEXTEDITING:
        return event.edit.windowID;
    case SDL_TEXTINPUT:
        return event.text.windowID;
    case SDL_MOUSEMOTION:
        return event.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return event.button.windowID;
    case SDL_MOUSEWHEEL:
        return event.wheel.windowID;
    case SDL_WINDOWEVENT:
        return event.window.windowID;
    default:
        return 0;
    }
}

int KeepUnlessForWindow(void* windowId, SDL_Event* event) {
    return WindowOfEvent(*event) != *static_cast<const Uint32*>(windowId);
}

bool NeedsDrawing(const SDL_Event& event) {
    return event.type == SDL_WINDOWEVENT && (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                                             event.window.event == SDL_WINDOWEVENT_SHOWN ||
                                             event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED);
}

bool SameState(const BoxState& a, const BoxState& b) {
    return a.focus == b.focus && a.pressed == b.pressed && a.pressedUnder == b.pressedUnder;
}

// The box on screen: its SDL window, what it shows and how, and the person's doings so far.
SDL_Window* Box = nullptr;
MessageBoxLayout Layout;
BoxState State;
int Scale = 1;

// The box's picture on its window's surface, every pixel a Scale x Scale block, and shown;
// false when SDL cannot draw it or show it.
bool DrawBox() {
    SDL_Surface* surface = SDL_GetWindowSurface(Box);
    if (surface == nullptr)
        return false;
    const std::vector<uint32_t> pixels = PaintMessageBox(Layout, State);
    return DrawPixels(reinterpret_cast<const uint8_t*>(pixels.data()), SDL_PIXELFORMAT_XRGB8888,
                      Layout.width, Layout.height, surface, 0, 0, Scale) &&
           SDL_UpdateWindowSurface(Box) == 0;
}

// Where a box of width x height goes: centred over the owner's window, kept on the
// owner's display; centred on the display without one.
SDL_Point BoxPosition(SDL_Window* owner, int width, int height) {
    if (owner == nullptr)
        return SDL_Point{static_cast<int>(SDL_WINDOWPOS_CENTERED),
                         static_cast<int>(SDL_WINDOWPOS_CENTERED)};
    int x = 0, y = 0, ownerWidth = 0, ownerHeight = 0;
    SDL_GetWindowPosition(owner, &x, &y);
    SDL_GetWindowSize(owner, &ownerWidth, &ownerHeight);
    SDL_Point at{x + (ownerWidth - width) / 2, y + (ownerHeight - height) / 2};
    SDL_Rect bounds{};
    const int display = SDL_GetWindowDisplayIndex(owner);
    if (display >= 0 && SDL_GetDisplayUsableBounds(display, &bounds) == 0) {
        at.x = std::clamp(at.x, bounds.x, std::max(bounds.x, bounds.x + bounds.w - width));
        at.y = std::clamp(at.y, bounds.y, std::max(bounds.y, bounds.y + bounds.h - height));
    }
    return at;
}

} // namespace

SDL_Window* OpenMessageBox(const MessageBoxLayout& layout, SDL_Window* owner, int scale) {
    CloseMessageBox();
    if (layout.buttons.empty() || scale < 1)
        return nullptr;
    const int width = layout.width * scale, height = layout.height * scale;
    const SDL_Point at = BoxPosition(owner, width, height);
    Box = SDL_CreateWindow(layout.title.c_str(), at.x, at.y, width, height, SDL_WINDOW_HIDDEN);
    if (Box == nullptr)
        return nullptr;
    Layout = layout;
    State = BoxState{};
    State.focus = layout.defaultButton;
    Scale = scale;
    if (owner != nullptr)
        SDL_SetWindowModalFor(Box, owner);
    SDL_ShowWindow(Box);
    if (!DrawBox()) {
        CloseMessageBox();
        return nullptr;
    }
    // A window manager gives it the keyboard as it comes to the front; without one, SDL
    // gives the keyboard to every window it shows.
    SDL_RaiseWindow(Box);
    return Box;
}

int WaitForMessageBoxAnswer() {
    if (Box == nullptr)
        return 0;
    const Uint32 boxId = SDL_GetWindowID(Box);
    int answer = 0;
    SDL_Event event;
    while (answer == 0) {
        // A lost X display ends the program inside the wait (WatchDisplayConnection).
        if (!SDL_PollEvent(&event)) {
            WaitForSdlEvents(Box);
            continue;
        }
        const Uint32 windowId = WindowOfEvent(event);
        if (windowId == boxId) {
            const BoxState before = State;
            answer = BoxAnswerForEvent(Layout, &State, event, Scale);
            // Shown once, the box keeps going when a later picture fails, as a window does.
            if (answer == 0 && (NeedsDrawing(event) || !SameState(before, State)))
                DrawBox();
        } else if (windowId != 0 && NeedsDrawing(event)) {
            RedrawSdlWindow(windowId);
        } else if (windowId != 0 && event.type == SDL_MOUSEBUTTONDOWN) {
            // A click on a disabled window brings the box back to the front.
            SDL_RaiseWindow(Box);
        }
    }
    return answer;
}

void CloseMessageBox() {
    if (Box == nullptr)
        return;
    Uint32 boxId = SDL_GetWindowID(Box);
    SDL_DestroyWindow(Box);
    Box = nullptr;
    // What is still queued for the box (keys typed after the answer) goes with it, as a
    // window's messages do on Windows.
    SDL_FilterEvents(KeepUnlessForWindow, &boxId);
}

namespace {

// The usable area (without panels) of the display the owner is on, or of the first, in
// 96-dpi units at the scale; 0 x 0 where SDL cannot tell.
SDL_Rect UsableUnits(SDL_Window* owner, int scale) {
    const int display = owner != nullptr ? std::max(0, SDL_GetWindowDisplayIndex(owner)) : 0;
    SDL_Rect bounds{};
    if (SDL_GetDisplayUsableBounds(display, &bounds) != 0)
        return SDL_Rect{};
    return SDL_Rect{0, 0, bounds.w / scale, bounds.h / scale};
}

} // namespace

int ShowMessageBoxOnScreen(HWND owner, const char* text, const char* caption, UINT type) {
    if (MessageBoxButtonsOf(type).count == 0 || !DisplayAvailable())
        return WriteToStandardError(LayOutMessageBox(text, caption, type), text);
    // A screen of palette entries shows none of the layer's pictures: no colours are
    // set up for SDL's window surfaces there.
    if (ScreenHasPalette())
        return TerminalAvailable()
                   ? PresentOnTerminal(owner, text, caption, type)
                   : WriteToStandardError(LayOutMessageBox(text, caption, type), text);
    // The box waits for the person: the newest picture is shown behind it meanwhile.
    DrawPendingScreen();
    SDL_Window* ownerSdl = owner != nullptr ? SdlWindowOf(owner) : nullptr;
    const SDL_Rect usable = UsableUnits(ownerSdl, DesktopScale());
    const MessageBoxLayout layout = LayOutMessageBox(text, caption, type, usable.w, usable.h);
    if (OpenMessageBox(layout, ownerSdl, DesktopScale()) == nullptr) {
        // Nobody saw the question: the program cannot go on as if it had been answered.
        EndUnseen("the message box \"" + layout.title + ": " + (text != nullptr ? text : "") +
                  "\"");
        return WriteToStandardError(layout, text);
    }
    const int answer = WaitForMessageBoxAnswer();
    CloseMessageBox();
    return answer;
}
