// Whether SDL's events wait, and waiting for them, on the program's thread: SDL's own
// queue first, then the display system's connection (x11/, wayland/).
#include "Screen.h"

bool SdlEventsWaiting(SDL_Window* window) {
    if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT))
        return true;
    const DisplaySystem* system = CurrentDisplaySystem();
    return system == nullptr || system->eventsWaiting(window);
}

void WaitForSdlEvents(SDL_Window* window) {
    const DisplaySystem* system = CurrentDisplaySystem();
    if (system == nullptr) {
        SDL_WaitEvent(nullptr);
        return;
    }
    if (!SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT))
        system->waitForEvents(window);
}
