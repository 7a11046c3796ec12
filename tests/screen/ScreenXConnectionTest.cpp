// Watching SDL's X connection: a write to a connection the X server has closed must fail
// and reach the lost-display report, not end the program silently by SIGPIPE.
#include "ScreenX11.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
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
