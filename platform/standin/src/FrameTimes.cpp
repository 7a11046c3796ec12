// Where a real run's frames spend their time, as the stand-in sees it: the waits' lateness,
// the presentation calls (Blt, Flip), the message functions, and the program's own work
// between waits outside those calls. Kept in totals only when STANDIN_FRAME_TIMES names a
// file, and written there at the end of the process (bench/measure-fps.py reads it);
// otherwise the clock is not read. The monotonic clock is read without a system call, so
// the counting does not slow the frames it measures.
#include "StandInPrivate.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

struct Totals {
    unsigned long long waits;
    unsigned long long lateness, work, presentation, messages; // nanoseconds
};
Totals Counted{};
// The end of the last wait and the calls' time counted since, to take out of the work.
unsigned long long LastWaitEnd = 0;
unsigned long long CallsSinceWait = 0;

void Write() {
    const char* path = std::getenv("STANDIN_FRAME_TIMES");
    FILE* file = path != nullptr ? std::fopen(path, "w") : nullptr;
    if (file == nullptr)
        return;
    std::fprintf(file,
                 "waits %llu\nlateness_ns %llu\nwork_ns %llu\npresentation_ns %llu\n"
                 "messages_ns %llu\n",
                 Counted.waits, Counted.lateness, Counted.work, Counted.presentation,
                 Counted.messages);
    std::fclose(file);
}

bool Register() {
    if (std::getenv("STANDIN_FRAME_TIMES") == nullptr)
        return false;
    std::atexit(Write);
    return true;
}
const bool Counting = Register();

} // namespace

unsigned long long FrameClock() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<unsigned long long>(now.tv_sec) * 1000000000ULL +
           static_cast<unsigned long long>(now.tv_nsec);
}

unsigned long long StartFrameCall() {
    return Counting ? FrameClock() : 0;
}

void CountFrameCall(FrameCall call, unsigned long long started) {
    if (!Counting)
        return;
    const unsigned long long spent = FrameClock() - started;
    (call == FrameCall::Presentation ? Counted.presentation : Counted.messages) += spent;
    CallsSinceWait += spent;
}

void CountWait(unsigned long long started, unsigned long long deadline, unsigned long long ended) {
    if (!Counting)
        return;
    if (LastWaitEnd != 0 && started >= LastWaitEnd + CallsSinceWait) {
        Counted.work += started - LastWaitEnd - CallsSinceWait;
        ++Counted.waits;
        Counted.lateness += ended > deadline ? ended - deadline : 0;
    }
    LastWaitEnd = ended;
    CallsSinceWait = 0;
}
