// What the X screen is, read once when SDL's X video starts, on a connection of the layer's
// own that is closed at once: whether its default visual is one of palette entries (an
// 8-bit screen), whether it has channels wider than 8 bits (a deep-colour screen), and the
// Xft.dpi of the X server's resource database, which with GDK_SCALE gives the desktop's
// scale.
//
// SDL 2.26 takes a 30-bit visual's depth for its pixel size, names no pixel format for it
// and so makes no surface for a window in it ("Unknown window pixel format"): nothing could
// be drawn. Such a screen also offers a visual of 8-bit channels (the X server composites
// windows in it onto the screen, widening each channel); SDL's windows are made in that
// one, through SDL's hint.
#include "ScreenX11.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>

#include <bit>
#include <cstdlib>
#include <string>

namespace {

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

// Xft.dpi of the server's resource database; 0 where none is set.
double ResourceDpi(::Display* connection) {
    const char* resources = XResourceManagerString(connection);
    if (resources == nullptr)
        return 0;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (database == nullptr)
        return 0;
    double dpi = 0;
    char* type = nullptr;
    XrmValue value{};
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr != nullptr)
        dpi = std::strtod(value.addr, nullptr);
    XrmDestroyDatabase(database);
    return dpi;
}

} // namespace

void LookAtXScreen(ScreenFacts* facts) {
    facts->scale = ScaleForSettings(std::getenv("GDK_SCALE"), 0);
    ::Display* connection = XOpenDisplay(nullptr);
    if (connection == nullptr)
        return;
    const int screen = DefaultScreen(connection);
    const Visual* visual = DefaultVisual(connection, screen);
    const bool colours = visual->c_class == TrueColor || visual->c_class == DirectColor;
    facts->palette = !colours;
    facts->deepColour =
        colours && (ChannelBits(visual->red_mask) > 8 || ChannelBits(visual->green_mask) > 8 ||
                    ChannelBits(visual->blue_mask) > 8);
    const VisualID chosen = facts->deepColour ? EightBitVisual(connection, screen) : 0;
    facts->scale = ScaleForSettings(std::getenv("GDK_SCALE"), ResourceDpi(connection));
    XCloseDisplay(connection);
    // A visual the person chose through SDL's environment variable stays theirs.
    if (chosen != 0)
        SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, std::to_string(chosen).c_str());
}
