// SDL's Wayland connection, looked at on the program's thread as the X part looks at X's:
// whether SDL's event pump would find anything, and the compositor's end. libwayland
// reports a broken connection only to the call that finds it, and SDL then posts SDL_QUIT
// once and goes on showing nothing: the layer looks when SDL posts that, at the end of every
// wait, and before anything is shown. WaylandDisplaySystem is the Wayland part's table.
#include "ScreenWayland.h"

#include <SDL_syswm.h>
#include <wayland-client.h>

#include <cstdlib>
#include <poll.h>
#include <string>

namespace {

// A connection of the layer's own to the compositor: nothing is asked on it, so it turns
// readable only when the compositor hangs up (it ended or was killed).
wl_display* Watch = nullptr;
std::string WatchedName;
// SDL's own connection, once a window has told which it is.
wl_display* SdlConnection = nullptr;

bool Readable(wl_display* display) {
    pollfd connection{wl_display_get_fd(display), POLLIN, 0};
    return poll(&connection, 1, 0) > 0;
}

wl_display* ConnectionOf(Uint32 sdlWindowId) {
    SDL_SysWMinfo info;
    if (!DescribeSdlWindow(SDL_GetWindowFromID(sdlWindowId), &info) ||
        info.subsystem != SDL_SYSWM_WAYLAND)
        return nullptr;
    return info.info.wl.display;
}

// Runs inside SDL's pump, for every event it posts. SDL_QUIT comes when the pump found the
// connection broken, or when the last window was closed: the connection tells which.
int LookAtEvent(void*, SDL_Event* event) {
    if (event->type == SDL_WINDOWEVENT && SdlConnection == nullptr)
        SdlConnection = ConnectionOf(event->window.windowID);
    else if (event->type == SDL_QUIT)
        CheckWaylandConnection();
    return 0;
}

} // namespace

void WatchWaylandConnection() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    WatchedName = name != nullptr && name[0] != '\0' ? name : "wayland-0";
    Watch = wl_display_connect(nullptr);
    SDL_AddEventWatch(LookAtEvent, nullptr);
}

void CheckWaylandConnection() {
    if ((Watch != nullptr && Readable(Watch)) ||
        (SdlConnection != nullptr && wl_display_get_error(SdlConnection) != 0))
        EndWithLostDisplay(WatchedName.c_str());
}

bool WaylandEventsWaiting(wl_display* display) {
    SdlConnection = display;
    CheckWaylandConnection();
    // Events read already (by EGL's reads while it presented) wait in the queue SDL
    // dispatches: preparing a read fails then.
    if (wl_display_prepare_read(display) != 0)
        return true;
    wl_display_cancel_read(display);
    return Readable(display);
}

namespace {

void StartWayland(ScreenFacts*) {
    // The compositor scales SDL's windows itself; its screens have no palettes.
    WatchWaylandConnection();
}

bool EventsWaiting(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!DescribeSdlWindow(window, &info) || info.subsystem != SDL_SYSWM_WAYLAND)
        return true;
    return WaylandEventsWaiting(info.info.wl.display);
}

// SDL's own wait: it looks at what its connection has read before it polls.
void WaitForEvents(SDL_Window*) {
    SDL_WaitEvent(nullptr);
}

} // namespace

const DisplaySystem WaylandDisplaySystem{
    "wayland",     "WAYLAND_DISPLAY", StartWayland, CheckWaylandConnection, CheckWaylandConnection,
    EventsWaiting, WaitForEvents};
