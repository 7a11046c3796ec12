// The real clock of the Linux stand-in: milliseconds since an arbitrary start, and
// sleeping for a time.
#include "Terminal.h"

#include <StandInEdge.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <sys/prctl.h>

namespace {

constexpr long NanosecondsPerSecond = 1000000000L;
// When the last real wait ended, on FrameClock; 0 before the first.
unsigned long long WaitEndedAt = 0;
constexpr unsigned long long LookStandsNanoseconds = 1000000;
// The time warming the caches for the next frame takes at most: done only where the wait
// has that much left.
constexpr unsigned long long WarmingNanoseconds = 200000;

// The clocked tail's bounds, the room it keeps beyond the latest wake-up's lateness, and how
// much it shrinks a wait while wake-ups come earlier.
constexpr long ShortestSpin = 400000L, LongestSpin = 1500000L;
constexpr long SpinMargin = 100000L, SpinDecay = 5000L;
long SpinNanoseconds = ShortestSpin;

long long Nanoseconds(const timespec& time) {
    return static_cast<long long>(time.tv_sec) * NanosecondsPerSecond + time.tv_nsec;
}

} // namespace

long SpinAfterWakeUp(long spin, long long lateness) {
    // Up at once to cover the latest wake-up with room to spare; down slowly while
    // wake-ups come earlier, so that one early wake-up does not undo it.
    const long long covering = std::min<long long>(lateness, LongestSpin) + SpinMargin;
    return static_cast<long>(std::clamp<long long>(std::max<long long>(covering, spin - SpinDecay),
                                                   ShortestSpin, LongestSpin));
}

// Sleeps to an absolute deadline, so that a signal or a late wake-up never adds to the
// time asked, and without Linux's default 50 us timer slack. The last part is waited out
// by reading the clock: a sleeping thread is woken late, 0.05 to 0.2 ms on most machines
// but up to about half a millisecond on virtual machines whose processors idle deeply
// while the program waits, and a frame loop that sleeps 50 ms per frame would lose a few
// tenths of a frame per second. That part follows the wake-ups seen (SpinAfterWakeUp),
// from 400 us to 1.5 ms. The presentation draws once the deadline is fixed, so that its
// work is part of the wait; at the wake-up the display's events and the terminal's input
// are looked at in the clocked tail, so that the frame that follows need not, and the
// memory that frame works on is brought back into the caches.
void SleepForReal(DWORD milliseconds) {
    static const bool NoTimerSlack = prctl(PR_SET_TIMERSLACK, 1UL) == 0;
    (void)NoTimerSlack;
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
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Only a wake-up from a sleep tells how late the thread is woken.
    const bool sleeps = Nanoseconds(now) < Nanoseconds(wake);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr) == EINTR) {
    }
    if (sleeps) {
        clock_gettime(CLOCK_MONOTONIC, &now);
        SpinNanoseconds = SpinAfterWakeUp(SpinNanoseconds, Nanoseconds(now) - Nanoseconds(wake));
    }
    if (PresentationLayer.waitEnds != nullptr)
        PresentationLayer.waitEnds();
    LookAtTerminal();
    WaitEndedAt = FrameClock();
    if (WaitEndedAt + WarmingNanoseconds < static_cast<unsigned long long>(Nanoseconds(deadline)))
        WarmFrameMemory();
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
