// SDL's own X connection, looked at on the program's thread: whether SDL's event pump
// would find anything, and what happens when the connection breaks. The pump flushes the
// connection, reads and polls it and does its own bookkeeping; a frame loop that looks for
// messages every frame need not pay for that when no event came. One poll of the
// connection tells.
#include "Screen.h"
#include "Terminal.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <unistd.h>

namespace {

// Xlib calls this when a connection breaks (the X server ended or was killed), in the
// middle of whatever call noticed it, and ends the process if it returns. Nothing of the
// program's normal end can run then, as any of it may reach for the connection again.
int DisplayLost(Display* display) {
    EndWithLostDisplay(DisplayString(display));
}

// Whether X's connection holds events read already, or has anything to read within
// timeout milliseconds (-1: until it has). A broken connection reads as waiting too: the
// pump then finds out.
bool XEventsWaiting(Display* display, int timeout) {
    if (XEventsQueued(display, QueuedAlready) > 0)
        return true;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    int ready = 0;
    while ((ready = poll(&connection, 1, timeout)) < 0 && errno == EINTR) {
    }
    return ready > 0;
}

} // namespace

bool DescribeSdlWindow(SDL_Window* window, SDL_SysWMinfo* info) {
    SDL_zero(*info);
    SDL_VERSION(&info->version);
    return window != nullptr && SDL_GetWindowWMInfo(window, info);
}

void EndWithLostDisplay(const char* name) {
    std::fprintf(stderr, "%s: lost the connection to the display %s\n",
                 program_invocation_short_name, name);
    std::fflush(nullptr);
    RestoreTerminal();
    _exit(DisplayFailureExitCode);
}

void CheckXDisplay() {
    // A connection of its own, closed at once: it cannot be opened once the server has
    // gone, which SDL's connection may not have read yet.
    ::Display* probe = XOpenDisplay(nullptr);
    if (probe == nullptr) {
        const char* name = std::getenv("DISPLAY");
        EndWithLostDisplay(name != nullptr ? name : "");
    }
    XCloseDisplay(probe);
}

void WatchDisplayConnection() {
    XSetIOErrorHandler(DisplayLost);
    // A request written to a connection the server has closed raises SIGPIPE, whose default
    // would end the program silently before Xlib sees the error: ignored, the write fails
    // and the loss is reported above. A disposition the program was started with stays.
    struct sigaction broken {};
    if (sigaction(SIGPIPE, nullptr, &broken) == 0 && broken.sa_handler == SIG_DFL)
        std::signal(SIGPIPE, SIG_IGN);
}

bool SdlEventsWaiting(SDL_Window* window) {
    if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT))
        return true;
    SDL_SysWMinfo info;
    if (!DescribeSdlWindow(window, &info))
        return true;
    if (info.subsystem == SDL_SYSWM_WAYLAND)
        return WaylandEventsWaiting(info.info.wl.display);
    // SDL sends its own requests when it makes them; the pump, when it runs, sends the rest.
    return info.subsystem != SDL_SYSWM_X11 || XEventsWaiting(info.info.x11.display, 0);
}

void WaitForSdlEvents(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!DescribeSdlWindow(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        SDL_WaitEvent(nullptr);
        return;
    }
    if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT))
        return;
    XFlush(info.info.x11.display);
    XEventsWaiting(info.info.x11.display, -1);
}
