// SDL's own X connection, looked at on the main thread: the X window of an SDL window, and
// whether SDL's event pump would find anything. The pump flushes the connection, reads and
// polls it and does its own bookkeeping; a frame loop that looks for messages every frame
// need not pay for that when no event came. One poll of the connection tells.
#include "ScreenPresenter.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <poll.h>

namespace {

// SDL's description of the window's X side; false when it is not on X.
bool OnX(SDL_Window* window, SDL_SysWMinfo* info) {
    SDL_zero(*info);
    SDL_VERSION(&info->version);
    return SDL_GetWindowWMInfo(window, info) && info->subsystem == SDL_SYSWM_X11;
}

} // namespace

unsigned long XWindowOf(SDL_Window* sdl) {
    SDL_SysWMinfo info;
    return OnX(sdl, &info) ? info.info.x11.window : 0;
}

bool SdlEventsWaiting(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) || !OnX(window, &info))
        return true;
    Display* display = info.info.x11.display;
    if (XEventsQueued(display, QueuedAlready) > 0)
        return true;
    // SDL sends its own requests when it makes them; the pump, when it runs, sends the rest.
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    return poll(&connection, 1, 0) > 0;
}
