// The screen layer's message box answered in tests on SDL's dummy driver: the events given
// are put into the box's SDL window as soon as it shows (an SDL event watch, called on the
// program's thread while the box opens), before it waits for them. The tests end each list
// with a key for another answer than the one expected: a box that misses the events then
// answers that, where it would otherwise wait for ever.
#pragma once

#include "Screen.h"

#include <SDL.h>

#include <utility>
#include <vector>

// The SDL window an event is for becomes the one given.
inline void SendTo(SDL_Event* event, Uint32 windowId) {
    switch (event->type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        event->key.windowID = windowId;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        event->button.windowID = windowId;
        break;
    case SDL_MOUSEMOTION:
        event->motion.windowID = windowId;
        break;
    case SDL_WINDOWEVENT:
        event->window.windowID = windowId;
        break;
    default:
        break;
    }
}

// The events a person's keys and mouse make, for no window yet.
inline SDL_Event KeyPress(SDL_Keycode key, Uint16 modifiers = KMOD_NONE) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    event.key.keysym.mod = modifiers;
    return event;
}

inline SDL_Event MouseButton(Uint32 type, int x, int y) {
    SDL_Event event{};
    event.type = type;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = x;
    event.button.y = y;
    return event;
}

inline SDL_Event MouseMotion(int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    return event;
}

inline SDL_Event WindowEvent(Uint8 what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    return event;
}

inline std::vector<SDL_Event> EventsForTheBox;

// An SDL window shows that shows no window of the stand-in's: the box.
inline int PutEventsIntoTheBox(void*, SDL_Event* shown) {
    if (shown->type != SDL_WINDOWEVENT || shown->window.event != SDL_WINDOWEVENT_SHOWN ||
        WindowOfSdl(shown->window.windowID) != nullptr || IsFullScreenSdl(shown->window.windowID))
        return 0;
    std::vector<SDL_Event> events;
    events.swap(EventsForTheBox);
    for (SDL_Event& event : events) {
        SendTo(&event, shown->window.windowID);
        SDL_PushEvent(&event);
    }
    return 0;
}

// The next box the layer shows gets these events.
inline void WhenTheBoxShows(std::vector<SDL_Event> events) {
    DisplayAvailable();
    EventsForTheBox = std::move(events);
    SDL_DelEventWatch(PutEventsIntoTheBox, nullptr);
    SDL_AddEventWatch(PutEventsIntoTheBox, nullptr);
}
