// Watching SDL's X connection: a write to a connection the X server has closed must fail
// and reach the lost-display report, not end the program silently by SIGPIPE; events Xlib
// has read already count as waiting (on an X server of the test's own, where Xvfb is).
#include "ScreenX11.h"

#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros (None, Bool, Status) would break its headers.
#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Writes a byte into a pipe whose reading end is closed, as into a dead X connection; the
// result of the write, with errno in *error.
ssize_t WriteToClosedPipe(int* error) {
    int ends[2];
    if (pipe(ends) != 0)
        return 0;
    close(ends[0]);
    const ssize_t written = write(ends[1], "x", 1);
    *error = errno;
    close(ends[1]);
    return written;
}

void ProgramsOwnHandler(int) {}

} // namespace

TEST(ScreenXConnection, BrokenConnectionWritesFailInsteadOfEndingTheProgram) {
    struct sigaction before {};
    sigaction(SIGPIPE, nullptr, &before);
    {
        SCOPED_TRACE("SIGPIPE at its default: ignored once the connection is watched");
        std::signal(SIGPIPE, SIG_DFL);
        WatchDisplayConnection();
        int error = 0;
        EXPECT_EQ(WriteToClosedPipe(&error), -1);
        EXPECT_EQ(error, EPIPE);
    }
    {
        SCOPED_TRACE("a handler the program was started with stays");
        std::signal(SIGPIPE, ProgramsOwnHandler);
        WatchDisplayConnection();
        struct sigaction now {};
        sigaction(SIGPIPE, nullptr, &now);
        EXPECT_EQ(now.sa_handler, ProgramsOwnHandler);
    }
    sigaction(SIGPIPE, &before, nullptr);
}

TEST(ScreenXConnection, EventsXlibHasReadAlreadyCount) {
    if (access("/usr/bin/Xvfb", X_OK) != 0)
        GTEST_SKIP() << "no Xvfb";
    // Xvfb on a free display number, which it writes into the pipe once it takes clients.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const pid_t server = fork();
    if (server == 0) {
        close(ends[0]);
        const std::string fd = std::to_string(ends[1]);
        execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
              "64x64x24", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ends[1]);
    std::string number;
    char c = 0;
    while (read(ends[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(ends[0]);
    Display* display = XOpenDisplay((":" + number).c_str());
    ASSERT_NE(display, nullptr) << "display :" << number;
    // A window's MapNotify comes before the reply XSync waits for: Xlib reads both, and
    // the event waits in its queue with nothing left on the connection.
    const ::Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 8, 8, 0, 0, 0);
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    XSync(display, False);
    {
        SCOPED_TRACE("an event in Xlib's queue");
        ASSERT_GT(XEventsQueued(display, QueuedAlready), 0);
        EXPECT_TRUE(XEventsWaiting(display, 0));
    }
    {
        SCOPED_TRACE("the queue taken: nothing waits");
        XEvent event;
        while (XEventsQueued(display, QueuedAlready) > 0)
            XNextEvent(display, &event);
        EXPECT_FALSE(XEventsWaiting(display, 0));
    }
    XCloseDisplay(display);
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
}
