// What an SDL surface holds at a pixel, for the screen layer's tests: the raw pixel value
// and its colour.
#pragma once

#include <SDL.h>

#include <cstdint>

inline Uint32 PixelAt(const SDL_Surface* surface, int x, int y) {
    const uint8_t* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
    Uint32 value = 0;
    SDL_memcpy(&value, row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel);
    return value;
}

inline SDL_Color ColourAt(const SDL_Surface* surface, int x, int y) {
    SDL_Color colour{};
    SDL_GetRGB(PixelAt(surface, x, y), surface->format, &colour.r, &colour.g, &colour.b);
    return colour;
}
