// The real clock in a page: the browser's monotonic clock, and Sleep as a wait that
// gives the browser its turn (Asyncify unwinds the program to the event loop and back).
#include "PageWait.h"

#include <StandInEdge.h>

#include <emscripten.h>

#include <algorithm>

namespace {

// A timer fires late, by a millisecond on a quiet machine and by several when the machine
// is busy; the last part of a wait is taken by reading the clock, so that a loop of 50 ms
// waits keeps its rate. That clocked tail follows the timer's recent lateness, within
// these bounds (the upper one keeps the page responsive).
constexpr double FewestClockedMilliseconds = 2.0;
constexpr double MostClockedMilliseconds = 6.0;
// How far the clocked tail reaches past the expected lateness.
constexpr double ClockedMargin = 1.0;

// The timer's recent lateness in milliseconds: it follows a later timer at once and an
// earlier one slowly, so that the tail covers most waits.
double TimerLateness = 0.0;

void LearnLateness(double late) {
    late = std::min(late, MostClockedMilliseconds);
    TimerLateness = late > TimerLateness ? late : TimerLateness + (late - TimerLateness) / 16;
}

} // namespace

void WaitInPage(unsigned milliseconds) {
    if (PresentationLayer.waitBegins != nullptr)
        PresentationLayer.waitBegins();
    emscripten_sleep(milliseconds);
}

DWORD RealTicks() {
    // The counter wraps around every 2^32 milliseconds, as on Windows.
    return static_cast<DWORD>(static_cast<unsigned long long>(emscripten_get_now()));
}

void SleepForReal(DWORD milliseconds) {
    const double deadline = emscripten_get_now() + milliseconds;
    // The deadline is fixed: the canvas's drawing now is part of the wait, not the frame.
    if (PresentationLayer.waitBegins != nullptr)
        PresentationLayer.waitBegins();
    const double clocked = std::clamp(TimerLateness + ClockedMargin, FewestClockedMilliseconds,
                                      MostClockedMilliseconds);
    const double asking = emscripten_get_now();
    const double timed = deadline - asking - clocked;
    const unsigned asked = timed > 0 ? static_cast<unsigned>(timed) : 0;
    // Even a wait of 0 gives the browser its turn, as Sleep(0) gives up the time slice.
    emscripten_sleep(asked);
    const double woken = emscripten_get_now();
    if (asked > 0)
        LearnLateness(woken - asking - asked);
    while (emscripten_get_now() < deadline) {
    }
}
