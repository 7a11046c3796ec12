// SDL's own X connection, looked at on the program's thread: whether SDL's event pump
// would find anything, and what happens when the connection breaks. The pump flushes the
// connection, reads and polls it and does its own bookkeeping; a frame loop that looks for
// messages every frame need not pay for that when no event came. A look at Xlib's queue
// and one poll of the connection tell. XDisplaySystem is the X part's table.
#include "ScreenX11.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <poll.h>

namespace {

// Xlib calls this when a connection breaks (the X server ended or was killed), in the
// middle of whatever call noticed it, and ends the process if it returns. Nothing of the
// program's normal end can run then, as any of it may reach for the connection again.
int DisplayLost(Display* display) {
    EndWithLostDisplay(DisplayString(display));
}

} // namespace

bool XEventsWaiting(Display* display, int timeout) {
    if (XEventsQueued(display, QueuedAlready) > 0)
        return true;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    int ready = 0;
    while ((ready = poll(&connection, 1, timeout)) < 0 && errno == EINTR) {
    }
    return ready > 0;
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

namespace {

// SDL's X connection of a window; NULL when it is on none.
Display* XConnectionOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!DescribeSdlWindow(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    return info.info.x11.display;
}

void StartX(ScreenFacts* facts) {
    // Window surfaces in plain memory, put on screen as they are: no renderer in between
    // (which would also make SDL recreate each window for OpenGL). SDL's Wayland driver
    // has no such surfaces: its window surfaces go through a renderer of SDL's choice.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    WatchDisplayConnection();
    LookAtXScreen(facts);
}

// Xlib reports a lost server to its handler at the call that finds it.
void CheckNothing() {}

bool EventsWaiting(SDL_Window* window) {
    // SDL sends its own requests when it makes them; the pump, when it runs, sends the rest.
    Display* display = XConnectionOf(window);
    return display == nullptr || XEventsWaiting(display, 0);
}

// By a look at the connection that blocks. SDL_WaitEvent would send the newest SDL window
// a wake-up message through a second connection, which the server may read once that
// window is gone (a box closed at once): Xlib's default handler then ends the program
// over that error as SDL closes the connection at the end.
void WaitForEvents(SDL_Window* window) {
    Display* display = XConnectionOf(window);
    if (display == nullptr) {
        SDL_WaitEvent(nullptr);
        return;
    }
    XFlush(display);
    XEventsWaiting(display, -1);
}

} // namespace

const DisplaySystem XDisplaySystem{"x11",         "DISPLAY",     StartX,       CheckNothing,
                                   CheckXDisplay, EventsWaiting, WaitForEvents};
