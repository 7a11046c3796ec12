// The screen layer's Wayland part: SDL's Wayland connection and the compositor's end. The
// shared part reaches it only through WaylandDisplaySystem (Screen.h); it never calls the
// X part.
#pragma once

#include "Screen.h"

struct wl_display;

// Watches the compositor SDL talks to: when SDL's connection breaks or the compositor hangs
// up, the program ends as EndWithLostDisplay says, naming WAYLAND_DISPLAY. Looked at when
// SDL's pump posts SDL_QUIT, in WaylandEventsWaiting and in CheckWaylandConnection (before
// a window is made or shown).
void WatchWaylandConnection();
void CheckWaylandConnection();
// Whether SDL's Wayland connection holds events read already but not yet dispatched (which
// SDL's pump dispatches before it reads), or has anything to read.
bool WaylandEventsWaiting(wl_display* display);
