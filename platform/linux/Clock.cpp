// The real clock of the Linux stand-in: milliseconds since an arbitrary start, and
// sleeping for a time.
#include "Terminal.h"

#include <StandInEdge.h>

#include <cerrno>
#include <ctime>
#include <sys/prctl.h>

namespace {

// When the last real wait ended, on FrameClock; 0 before the first.
unsigned long long WaitEndedAt = 0;
constexpr unsigned long long LookStandsNanoseconds = 1000000;

} // namespace

// Sleeps to an absolute deadline, so that a signal or a late wake-up never adds to the
// time asked, and without Linux's default 50 us timer slack. The last 400 us are waited
// out by reading the clock: a sleeping thread is woken 0.1 to 0.2 ms late (more on a
// virtual machine), and a frame loop that sleeps 50 ms per frame would lose a few tenths
// of a frame per second. The presentation draws once the deadline is fixed, so that its
// work is part of the wait; at the wake-up the display's events and the terminal's input
// are looked at in the clocked tail, so that the frame that follows need not.
void SleepForReal(DWORD milliseconds) {
    static const bool NoTimerSlack = prctl(PR_SET_TIMERSLACK, 1UL) == 0;
    (void)NoTimerSlack;
    constexpr long NanosecondsPerSecond = 1000000000L;
    constexpr long SpinNanoseconds = 400000L;
    timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += static_cast<time_t>(milliseconds / 1000);
    deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (deadline.tv_nsec >= NanosecondsPerSecond) {
        deadline.tv_nsec -= NanosecondsPerSecond;
        ++deadline.tv_sec;
    }
    if (PresentationLayer.waitBegins != nullptr)
        PresentationLayer.waitBegins();
    timespec wake = deadline;
    wake.tv_nsec -= SpinNanoseconds;
    if (wake.tv_nsec < 0) {
        wake.tv_nsec += NanosecondsPerSecond;
        --wake.tv_sec;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr) == EINTR) {
    }
    if (PresentationLayer.waitEnds != nullptr)
        PresentationLayer.waitEnds();
    LookAtTerminal();
    WaitEndedAt = FrameClock();
    timespec now;
    do {
        clock_gettime(CLOCK_MONOTONIC, &now);
    } while (now.tv_sec < deadline.tv_sec ||
             (now.tv_sec == deadline.tv_sec && now.tv_nsec < deadline.tv_nsec));
}

bool RightAfterWait() {
    return WaitEndedAt != 0 && FrameClock() - WaitEndedAt <= LookStandsNanoseconds;
}

DWORD RealTicks() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto milliseconds = static_cast<unsigned long long>(now.tv_sec) * 1000u +
                              static_cast<unsigned long long>(now.tv_nsec) / 1000000u;
    // The counter wraps around every 2^32 milliseconds (49.7 days), as on Windows.
    return static_cast<DWORD>(milliseconds);
}
