// The screen layer's X part: SDL's X connection and what the X screen is. The shared part
// reaches it only through XDisplaySystem (Screen.h); it never calls the Wayland part.
#pragma once

#include "Screen.h"

// Xlib's connection, as <X11/Xlib.h> names it (whose macros the layer's tests keep out).
typedef struct _XDisplay Display;

// --- SDL's X connection (ScreenXConnection.cpp) -----------------------------------------------
// Watches the connection SDL opened: when it breaks (the X server ended), the program says
// so in one line naming the display, puts the terminal back and ends with
// DisplayFailureExitCode.
void WatchDisplayConnection();
// Ends the program as EndWithLostDisplay says when the X server has gone (an SDL call may
// fail before SDL's connection has read that it went).
void CheckXDisplay();
// Whether X's connection holds events read already (Xlib's queue), or has anything to read
// within timeout milliseconds (-1: until it has). A broken connection reads as waiting
// too: SDL's pump then finds out.
bool XEventsWaiting(Display* display, int timeout);

// --- The X screen (ScreenXScreen.cpp) -------------------------------------------------------
// Reads what the X screen is, once SDL's X video runs and before any window: its default
// visual and the desktop's scale (GDK_SCALE, else Xft.dpi). On a screen whose channels are
// wider than 8 bits (30 bits, for 10-bit monitors) SDL's windows get the screen's visual
// of 8-bit channels (SDL 2.26 makes no window surface for the default one).
void LookAtXScreen(ScreenFacts* facts);
