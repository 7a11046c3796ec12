// The end of a run nobody can see: a compositor that hangs up ends the program in one line
// naming WAYLAND_DISPLAY (at the layer's look, and at the SDL_QUIT that SDL's pump posts),
// while SDL_QUIT from a compositor still there goes by; a window that cannot be shown ends
// the program in one line, except on a test's invisible display. The compositor is
// libwayland's own server, in a runtime folder of the test's own, in the process itself.
#include "ScreenWayland.h"

#include <gtest/gtest.h>
#include <wayland-server.h>

#include <cstdlib>
#include <string>

namespace {

// A compositor with a socket named wayland-screentest that takes the layer's connection.
wl_display* StartCompositor() {
    static char folder[] = "/tmp/screen-wayland-XXXXXX";
    if (mkdtemp(folder) == nullptr)
        return nullptr;
    setenv("XDG_RUNTIME_DIR", folder, 1);
    setenv("WAYLAND_DISPLAY", "wayland-screentest", 1);
    wl_display* compositor = wl_display_create();
    if (wl_display_add_socket(compositor, "wayland-screentest") != 0)
        return nullptr;
    return compositor;
}

// The layer watches the compositor, which takes its connection; then the compositor ends.
void WatchThenEnd(wl_display* compositor, bool endCompositor) {
    WatchWaylandConnection();
    wl_event_loop_dispatch(wl_display_get_event_loop(compositor), 1000);
    CheckWaylandConnection(); // nothing lost yet
    if (endCompositor) {
        wl_display_destroy_clients(compositor);
        wl_display_destroy(compositor);
    }
}

// SDL_QUIT, as SDL's pump posts it (the layer looks at the connection then).
void PostQuit() {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

constexpr int Survived = 7;
const char* const LostLine = "^[^\n:]*: lost the connection to the display wayland-screentest\n$";

TEST(ScreenWaylandDeathTest, AHangingUpCompositorEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    {
        SCOPED_TRACE("the layer's look before a window is shown");
        EXPECT_EXIT(
            {
                WatchThenEnd(StartCompositor(), true);
                CheckWaylandConnection();
                std::exit(Survived);
            },
            testing::ExitedWithCode(DisplayFailureExitCode), LostLine);
    }
    {
        SCOPED_TRACE("SDL_QUIT, as SDL's pump posts it when its connection breaks");
        EXPECT_EXIT(
            {
                SDL_InitSubSystem(SDL_INIT_EVENTS);
                WatchThenEnd(StartCompositor(), true);
                PostQuit();
                std::exit(Survived);
            },
            testing::ExitedWithCode(DisplayFailureExitCode), LostLine);
    }
    {
        SCOPED_TRACE("SDL_QUIT with the compositor still there (the last window closed)");
        EXPECT_EXIT(
            {
                SDL_InitSubSystem(SDL_INIT_EVENTS);
                WatchThenEnd(StartCompositor(), false);
                PostQuit();
                CheckWaylandConnection();
                std::exit(Survived);
            },
            testing::ExitedWithCode(Survived), "^$");
    }
}

TEST(ScreenStartDeathTest, AWindowThatCannotBeShownEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    {
        SCOPED_TRACE("with SDL's reason");
        EXPECT_EXIT(
            {
                setenv("DISPLAY", ":5", 1);
                SDL_SetError("No hardware accelerated renderers available");
                EndUnseen("the window \"Title\"");
                std::exit(Survived);
            },
            testing::ExitedWithCode(DisplayFailureExitCode),
            "^[^\n:]*: cannot show the window \"Title\" on the display :5: No hardware "
            "accelerated renderers available\n$");
    }
    {
        SCOPED_TRACE("on a test's invisible display the run goes on");
        EXPECT_EXIT(
            {
                UseInvisibleDisplay();
                EndUnseen("the window \"Title\"");
                std::exit(Survived);
            },
            testing::ExitedWithCode(Survived), "^$");
    }
}

} // namespace
