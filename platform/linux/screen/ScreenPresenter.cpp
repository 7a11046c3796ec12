// The presenter: a thread that puts the screen's newest picture on the display while the
// program goes on (it sleeps most of each frame). The main thread hands a picture over
// in one pending slot and returns; a picture still waiting there when the next arrives is
// dropped, so the presenter never falls more than one picture behind. It draws only under
// the drawing lock, which the main thread holds while it changes SDL windows; a picture
// made before such a change is not drawn (the main thread has drawn the screen anew).
#include "Screen.h"

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <utility>

namespace {

// The hand-over: Pending is filled by the main thread, Taken is the presenter's; they are
// swapped under HandOffMutex, so neither side ever sees the other's buffer half written.
std::mutex HandOffMutex;
std::condition_variable HandOffReady;
PresentedFrame Pending;
PresentedFrame Taken;
bool PendingFull = false;
bool Stopping = false;
PresenterCounts Counts;

std::recursive_mutex DrawingMutex;
// Counts the main thread's changes of SDL windows; changed under DrawingMutex, read
// without it by the main thread when it hands a picture over.
std::atomic<unsigned long> Generation{0};

std::thread Thread;
FramePutter Put = nullptr;

void Run() {
    while (true) {
        {
            std::unique_lock<std::mutex> lock(HandOffMutex);
            HandOffReady.wait(lock, [] { return PendingFull || Stopping; });
            if (!PendingFull)
                return; // stopping, and nothing left to show
            std::swap(Pending, Taken);
            PendingFull = false;
        }
        bool drawn = false;
        {
            const std::lock_guard<std::recursive_mutex> drawing(DrawingMutex);
            if (Taken.generation == Generation) {
                Put(Taken);
                drawn = true;
            }
        }
        const std::lock_guard<std::mutex> lock(HandOffMutex);
        ++(drawn ? Counts.presented : Counts.superseded);
    }
}

} // namespace

bool StartPresenter(FramePutter put) {
    if (Thread.joinable())
        return true;
    {
        const std::lock_guard<std::mutex> lock(HandOffMutex);
        PendingFull = Stopping = false;
        Counts = PresenterCounts{};
    }
    Put = put;
    // Signals go to the main thread: its handlers restore the terminal, and a stop from
    // the keyboard must not land in the middle of a drawing.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous);
    try {
        Thread = std::thread(Run);
    } catch (const std::system_error&) {
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return Thread.joinable();
}

bool PresenterRunning() {
    return Thread.joinable();
}

void HandOffFrame(void (*fill)(PresentedFrame* frame)) {
    {
        const std::lock_guard<std::mutex> lock(HandOffMutex);
        if (PendingFull)
            ++Counts.dropped;
        fill(&Pending);
        Pending.serial = ++Counts.handed;
        Pending.generation = Generation.load();
        PendingFull = true;
    }
    HandOffReady.notify_one();
}

void StopPresenter() {
    if (!Thread.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(HandOffMutex);
        Stopping = true;
    }
    HandOffReady.notify_one();
    // The presenter shows what is pending first: the last picture is not lost.
    Thread.join();
}

PresenterCounts PresenterCountsNow() {
    const std::lock_guard<std::mutex> lock(HandOffMutex);
    return Counts;
}

std::unique_lock<std::recursive_mutex> ChangeSdlWindows() {
    std::unique_lock<std::recursive_mutex> lock(DrawingMutex);
    ++Generation;
    return lock;
}
