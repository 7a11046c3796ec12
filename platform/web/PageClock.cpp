// The real clock in a page: the browser's monotonic clock, and Sleep as a wait that
// gives the browser its turn (Asyncify unwinds the program to the event loop and back).
#include "StandInPrivate.h"

#include <emscripten.h>

namespace {

// A timer fires a millisecond or more late; the last part of a wait is taken by reading
// the clock, so that a loop of 50 ms waits keeps its rate.
constexpr double ClockedMilliseconds = 2.0;

} // namespace

DWORD RealTicks() {
    // The counter wraps around every 2^32 milliseconds, as on Windows.
    return static_cast<DWORD>(static_cast<unsigned long long>(emscripten_get_now()));
}

void SleepForReal(DWORD milliseconds) {
    const double deadline = emscripten_get_now() + milliseconds;
    const double timed = static_cast<double>(milliseconds) - ClockedMilliseconds;
    // Even a wait of 0 gives the browser its turn, as Sleep(0) gives up the time slice.
    emscripten_sleep(timed > 0 ? static_cast<unsigned>(timed) : 0);
    while (emscripten_get_now() < deadline) {
    }
}
