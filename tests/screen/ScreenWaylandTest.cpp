// The end of a run nobody can see: a compositor that hangs up ends the program in one line
// naming WAYLAND_DISPLAY (at the layer's look, and at the SDL_QUIT that SDL's pump posts),
// while SDL_QUIT from a compositor still there goes by; a window that cannot be shown ends
// the program in one line (on a test's invisible display the line alone); events read
// already count as waiting. The compositor is libwayland's own server, in a runtime folder
// of the test's own, in the process itself.
#include "ScreenWayland.h"

#include <gtest/gtest.h>
#include <wayland-client.h>
#include <wayland-server.h>

#include <cstdlib>
#include <poll.h>
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

// Events SDL's connection has read already, not yet dispatched, wait as much as those on
// the socket: SDL's pump dispatches them first.
TEST(ScreenWayland, EventsReadAlreadyCount) {
    wl_display* compositor = StartCompositor();
    ASSERT_NE(compositor, nullptr);
    wl_display* client = wl_display_connect(nullptr);
    ASSERT_NE(client, nullptr);
    wl_callback* sync = wl_display_sync(client);
    wl_display_flush(client);
    // The compositor takes the client, reads its request and answers it.
    pollfd answer{wl_display_get_fd(client), POLLIN, 0};
    for (int turn = 0; turn < 50 && poll(&answer, 1, 0) == 0; ++turn) {
        wl_event_loop_dispatch(wl_display_get_event_loop(compositor), 100);
        wl_display_flush_clients(compositor);
    }
    ASSERT_EQ(wl_display_prepare_read(client), 0);
    ASSERT_GT(wl_display_read_events(client), -1);
    {
        SCOPED_TRACE("read, not dispatched, nothing more on the socket");
        EXPECT_TRUE(WaylandEventsWaiting(client));
    }
    {
        SCOPED_TRACE("dispatched: nothing waits");
        wl_display_dispatch_pending(client);
        EXPECT_FALSE(WaylandEventsWaiting(client));
    }
    // The layer keeps the connection it looked at: it stays open to the end.
    wl_callback_destroy(sync);
    wl_display_destroy(compositor);
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
        SCOPED_TRACE("on a test's invisible display the run goes on, the line said");
        EXPECT_EXIT(
            {
                setenv("DISPLAY", ":5", 1);
                SDL_SetError("%s", "");
                UseInvisibleDisplay();
                EndUnseen("the window \"Title\"");
                std::exit(Survived);
            },
            testing::ExitedWithCode(Survived),
            "^[^\n:]*: cannot show the window \"Title\" on the display :5\n$");
    }
}

} // namespace
