// The stand-in's windows and screen in the page. The canvas stands for the visible
// top-level window while the desktop shows: the screen's pixels of its client area, its
// title above. A display mode shows the whole screen there instead, each pixel a block of
// the largest whole factor that fits the page, on black. Blt and Flip onto the shown
// screen only mark the canvas out of date; it is drawn before the program next waits or
// ends, as the browser shows nothing of the page in between.
#include "Page.h"

#include <emscripten.h>

#include <cstdlib>
#include <vector>

EM_JS(void, PageShowWindow, (const char* title), { BumpPage.showWindow(UTF8ToString(title)); });
EM_JS(void, PageHideWindow, (int destroyed), { BumpPage.hideWindow(destroyed != 0); });
EM_JS(void, PageShowCursor, (int shown), { BumpPage.showCursor(shown != 0); });
// Pixels: width x height, 4 bytes each in the canvas's order (red, green, blue, opaque),
// rows packed. The page reads them in place, in the program's memory.
EM_JS(void, PageDraw, (const uint8_t* pixels, int width, int height, int fullScreen), {
    BumpPage.draw(HEAPU8.subarray(pixels, pixels + width * height * 4), width, height,
                  fullScreen != 0);
});

namespace {

HWND Shown = nullptr;
bool ModeSet = false;
// The shown pixels, kept from frame to frame so that drawing allocates nothing.
std::vector<uint8_t> Pixels;
// The screen's area changed since the canvas was last drawn (screen coordinates).
bool OutOfDate = false;
RECT ChangedArea{};
bool DrawsAtEnd = false;

bool IsVisible(const Window* window) {
    return window != nullptr && (window->style & WS_VISIBLE) != 0;
}

// The screen's blue, green, red, unused bytes to the canvas's red, green, blue, opaque.
void ToCanvasOrder(std::vector<uint8_t>* pixels) {
    uint8_t* pixel = pixels->data();
    uint8_t* const end = pixel + pixels->size();
    for (; pixel != end; pixel += 4) {
        const uint8_t blue = pixel[0];
        pixel[0] = pixel[2];
        pixel[2] = blue;
        pixel[3] = 0xFF;
    }
}

// The screen's area the canvas shows: the whole screen in a display mode, else the shown
// window's client area; false when it shows none.
bool ShownArea(RECT* area) {
    const ScreenMode mode = CurrentScreenMode();
    *area = RECT{0, 0, mode.width, mode.height};
    return ModeSet || (Shown != nullptr && WindowClientOnScreen(Shown, area));
}

void Redraw() {
    // The page shows 32-bit pixels only; DescribePageDesktop offers no other depth.
    RECT area{};
    if (CurrentScreenMode().bitsPerPixel != 32 || !ShownArea(&area))
        return;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (!ReadScreenInto(area, &Pixels) || width <= 0 || height <= 0 ||
        Pixels.size() != static_cast<size_t>(width * height) * 4)
        return;
    ToCanvasOrder(&Pixels);
    PageDraw(Pixels.data(), width, height, ModeSet ? 1 : 0);
}

// Whether the changed area touches what the canvas shows.
bool ChangeShows() {
    RECT shown{};
    return ShownArea(&shown) && !IsEmpty(Intersection(shown, ChangedArea));
}

// Draws the canvas at once (the shown window or mode changed); nothing is left to draw.
void RedrawNow() {
    OutOfDate = false;
    Redraw();
}

} // namespace

void DrawPendingScreen() {
    if (!OutOfDate)
        return;
    OutOfDate = false;
    if (ChangeShows())
        Redraw();
}

void DescribePageDesktop(StandInDisplay* display) {
    display->desktopBitsPerPixel = 32;
    display->fullScreenDepths = {32};
}

bool CanShowPageWindows() {
    return true;
}

void PageWindowChanged(HWND window) {
    const Window* state = LookUpWindow(window);
    if (state == nullptr)
        return;
    if (IsVisible(state)) {
        Shown = window;
        PageShowWindow(state->title.c_str());
        RedrawNow();
    } else if (window == Shown) {
        DrawPendingScreen();
        PageHideWindow(0);
    }
}

void PageWindowDestroyed(HWND window) {
    if (window != Shown)
        return;
    DrawPendingScreen();
    Shown = nullptr;
    PageHideWindow(1);
}

void PageCursorCountChanged(int count) {
    PageShowCursor(count >= 0 ? 1 : 0);
}

void PageScreenChanged(const RECT& area) {
    // The program's end is the last chance to draw; registered after every static object
    // of the stand-in, so that it runs before their destructors.
    if (!DrawsAtEnd)
        DrawsAtEnd = std::atexit(DrawPendingScreen) == 0;
    ChangedArea = OutOfDate ? BoundingRect(ChangedArea, area) : area;
    OutOfDate = true;
}

void PageScreenModeChanged(bool modeSet) {
    // The screen of the mode left is gone already: the canvas shows the new one at once.
    ModeSet = modeSet;
    RedrawNow();
}
