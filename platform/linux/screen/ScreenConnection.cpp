// What X's and Wayland's connections share: SDL's description of a window's connection,
// and the program's end when a connection breaks.
#include "Screen.h"
#include "Terminal.h"

#include <SDL_syswm.h>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

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
