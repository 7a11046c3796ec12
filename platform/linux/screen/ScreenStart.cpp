// SDL's video for the stand-in: started at the first need, when there is a display a
// person can see, and closed at the end of the process (the desktop gets its own screen
// back). A program without a display cannot do what it is for: it says so and ends. The
// display system SDL runs on is chosen once then, and what the screen is read once.
#include "Screen.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum class Video { NotTried, Running, Missing };
Video State = Video::NotTried;
bool InvisibleAllowed = false;
const DisplaySystem* System = nullptr;
ScreenFacts Facts;

// SDL's windows are closed before this runs (ScreenWindows.cpp registers that later).
void StopVideo() {
    SDL_Quit();
    State = Video::Missing;
    System = nullptr;
}

const char* Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0' ? value : nullptr;
}

// The display SDL is to open, for the person: DISPLAY's or WAYLAND_DISPLAY's value.
const char* DisplayName() {
    const char* x = Variable("DISPLAY");
    return x != nullptr ? x : Variable("WAYLAND_DISPLAY");
}

[[noreturn]] void EndWithoutDisplay(const char* why, const char* name) {
    std::fprintf(stderr, "%s: %s%s\n", program_invocation_short_name, why, name);
    std::exit(DisplayFailureExitCode);
}

void StartVideo() {
    State = Video::Missing;
    // Without a display named, SDL would try Wayland's default socket and then settle on
    // its off-screen driver: nothing a person sees.
    if (DisplayName() == nullptr && Variable("SDL_VIDEODRIVER") == nullptr)
        EndWithoutDisplay("no display to show windows on: DISPLAY is not set", "");
    // Ctrl-C in the terminal ends the program as before, instead of becoming SDL_QUIT.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A click that brings a window to the front also does what it clicks, as on Windows:
    // SDL would drop a press that comes right after the window got the focus, so the
    // first click on an inactive message box's button did nothing.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // An X display that cannot be opened is the answer: SDL would go on to Wayland and
    // its invisible drivers, and talk about them on standard error.
    if (Variable("WAYLAND_DISPLAY") == nullptr)
        SDL_SetHint(SDL_HINT_VIDEODRIVER, XDisplaySystem.driver);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        const char* name = DisplayName();
        EndWithoutDisplay("cannot open the display ", name != nullptr ? name : "");
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "offscreen") == 0 ||
        std::strcmp(driver, "dummy") == 0) {
        if (!InvisibleAllowed) {
            SDL_Quit();
            EndWithoutDisplay("no display a person can see: SDL's video driver is ",
                              driver != nullptr ? driver : "none");
        }
    } else {
        for (const DisplaySystem* system : {&XDisplaySystem, &WaylandDisplaySystem})
            if (std::strcmp(driver, system->driver) == 0)
                System = system;
        if (System != nullptr)
            System->start(&Facts);
    }
    State = Video::Running;
    std::atexit(StopVideo);
}

} // namespace

void UseInvisibleDisplay() {
    InvisibleAllowed = true;
}

bool DisplayAvailable() {
    if (State == Video::NotTried)
        StartVideo();
    else if (State == Video::Running && System != nullptr)
        System->checkConnection(); // SDL would wait for a lost compositor's answers forever
    return State == Video::Running;
}

void EndUnseen(const std::string& what) {
    const std::string why = SDL_GetError(); // before any other SDL call sets its own
    // A display that has gone is the reason, said as such.
    if (System != nullptr)
        System->confirmConnection();
    const char* name = System != nullptr && Variable(System->displayVariable) != nullptr
                           ? Variable(System->displayVariable)
                           : DisplayName();
    std::fprintf(stderr, "%s: cannot show %s on the display %s%s%s\n",
                 program_invocation_short_name, what.c_str(), name != nullptr ? name : "",
                 why.empty() ? "" : ": ", why.c_str());
    std::fflush(stderr);
    if (!InvisibleAllowed)
        std::exit(DisplayFailureExitCode);
}

void DescribeDesktopMode(const SDL_DisplayMode& mode, int scale, StandInDisplay* display) {
    if (mode.w <= 0 || mode.h <= 0 || scale < 1)
        return;
    // The program sees the desktop in 96-dpi units, as Windows shows it to a program that
    // declares no DPI awareness.
    display->desktopWidth = std::max(1, static_cast<int>(UnitsOfPixels(mode.w, scale)));
    display->desktopHeight = std::max(1, static_cast<int>(UnitsOfPixels(mode.h, scale)));
    if (SDL_ISPIXELFORMAT_INDEXED(mode.format)) {
        display->desktopBitsPerPixel = 8;
        // A screen of palette entries has no colours of its own to show a mode's pixels
        // in, and the screen layer draws nothing there: no display mode is offered.
        display->fullScreenDepths.clear();
        return;
    }
    switch (SDL_BYTESPERPIXEL(mode.format)) {
    case 2: {
        int bits = 0;
        Uint32 red = 0, green = 0, blue = 0, alpha = 0;
        SDL_PixelFormatEnumToMasks(mode.format, &bits, &red, &green, &blue, &alpha);
        // Windows calls both 16-bit layouts 16 bits; the red mask tells them apart.
        display->desktopBitsPerPixel = 16;
        display->desktopRedMask16 = red == 0x7C00 ? 0x7C00 : 0xF800;
        break;
    }
    case 3:
        display->desktopBitsPerPixel = 24;
        break;
    default:
        display->desktopBitsPerPixel = 32;
        break;
    }
}

int DesktopScale() {
    return Facts.scale;
}

bool ScreenHasPalette() {
    return Facts.palette;
}

bool ScreenHasDeepColour() {
    return Facts.deepColour;
}

const DisplaySystem* CurrentDisplaySystem() {
    return System;
}

void DescribeDesktop(StandInDisplay* display) {
    if (!DisplayAvailable())
        return;
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return;
    // SDL names no pixel format for an X screen of palette entries, nor for a deep-colour
    // one (10-bit channels in 4 bytes), which Windows shows old programs as 32 bits.
    if (mode.format == SDL_PIXELFORMAT_UNKNOWN && ScreenHasPalette())
        mode.format = SDL_PIXELFORMAT_INDEX8;
    else if (mode.format == SDL_PIXELFORMAT_UNKNOWN && ScreenHasDeepColour())
        mode.format = SDL_PIXELFORMAT_ARGB2101010;
    DescribeDesktopMode(mode, DesktopScale(), display);
}
