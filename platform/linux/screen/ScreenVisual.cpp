// SDL's windows on a deep-colour X screen. SDL 2.26 takes a 30-bit visual's depth for its
// pixel size, names no pixel format for it and so makes no surface for a window in it
// ("Unknown window pixel format"): nothing could be drawn. Such a screen also offers a
// visual of 8-bit channels (the X server composites windows in it onto the screen,
// widening each channel); SDL's windows are made in that one, through SDL's hint.
#include "Screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <bit>
#include <string>

namespace {

bool DeepColour = false;

int ChannelBits(unsigned long mask) {
    return std::popcount(mask);
}

// The screen's TrueColor visual with 8-bit channels in XRGB order, depth 24 or else 32;
// 0 for none.
VisualID EightBitVisual(::Display* connection, int screen) {
    VisualID chosen = 0;
    for (const int depth : {24, 32}) {
        XVisualInfo wanted{};
        wanted.screen = screen;
        wanted.depth = depth;
        wanted.c_class = TrueColor;
        int count = 0;
        XVisualInfo* found = XGetVisualInfo(
            connection, VisualScreenMask | VisualDepthMask | VisualClassMask, &wanted, &count);
        for (int i = 0; i < count; ++i)
            if (found[i].red_mask == 0xFF0000 && found[i].green_mask == 0xFF00 &&
                found[i].blue_mask == 0xFF) {
                chosen = found[i].visualid;
                break;
            }
        if (found != nullptr)
            XFree(found);
        if (chosen != 0)
            break;
    }
    return chosen;
}

} // namespace

void ChooseWindowVisual() {
    // On a connection of the layer's own, closed at once.
    ::Display* connection = XOpenDisplay(nullptr);
    if (connection == nullptr)
        return;
    const int screen = DefaultScreen(connection);
    const Visual* visual = DefaultVisual(connection, screen);
    DeepColour = (visual->c_class == TrueColor || visual->c_class == DirectColor) &&
                 (ChannelBits(visual->red_mask) > 8 || ChannelBits(visual->green_mask) > 8 ||
                  ChannelBits(visual->blue_mask) > 8);
    const VisualID chosen = DeepColour ? EightBitVisual(connection, screen) : 0;
    XCloseDisplay(connection);
    // A visual the person chose through SDL's environment variable stays theirs.
    if (chosen != 0)
        SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, std::to_string(chosen).c_str());
}

bool ScreenHasDeepColour() {
    return DeepColour;
}
