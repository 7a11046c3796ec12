// The presenter: a thread that puts the screen's newest picture on the display while the
// program waits (it sleeps most of each frame). When the program presents, the main
// thread only notes where the picture goes, in one pending slot, and returns; a picture
// still pending when the next comes is dropped, so the presenter never falls more than
// one picture behind. The presenter reads the screen's pixels only while the main thread
// waits (Sleep, a wait for input, a message box), so it reads a complete picture that no
// later frame overwrites, without a copy on the main thread, and its work never competes
// with the frame the program is working on. A wait does not end while the presenter is
// reading; a picture it has not begun to read by then waits for the next wait. A program
// that never waits lets it read at a hand-over once the hold limit has passed.
// The presenter draws only under the drawing lock, which the main thread holds while it
// changes SDL windows; a picture made before such a change is not drawn (the main thread
// has drawn the screen anew).
#include "Screen.h"

#include <atomic>
#include <chrono>
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
std::condition_variable WaitBegun; // the presenter waits for a picture it may read
std::condition_variable ReadDone;  // the main thread waits for the presenter's reading
PresentedFrame Pending;
PresentedFrame Taken;
bool PendingFull = false;
bool Released = false; // the main thread waits: the pending picture may be read
bool Idle = false;     // the presenter waits for a picture
bool Reading = false;  // the presenter reads the screen
bool Stopping = false;
std::chrono::milliseconds HoldLimit = DefaultHoldLimit;
std::chrono::steady_clock::time_point PendingSince;
PresenterCounts Counts;

std::recursive_mutex DrawingMutex;
// Counts the main thread's changes of SDL windows; changed under DrawingMutex, read
// without it by the main thread when it hands a picture over.
std::atomic<unsigned long> Generation{0};

std::thread Thread;
FramePutter Put = nullptr;
FrameReader Read = nullptr;

void Run() {
    std::unique_lock<std::mutex> lock(HandOffMutex);
    while (true) {
        Idle = true;
        WaitBegun.wait(lock, [] { return (PendingFull && Released) || Stopping; });
        Idle = false;
        if (!PendingFull)
            return; // stopping, and nothing left to show
        std::swap(Pending, Taken);
        PendingFull = Released = false;
        Reading = true;
        lock.unlock();
        if (Read != nullptr)
            Read(&Taken);
        lock.lock();
        Reading = false;
        ReadDone.notify_all();
        lock.unlock();
        bool drawn = false;
        {
            const std::lock_guard<std::recursive_mutex> drawing(DrawingMutex);
            if (Taken.generation == Generation) {
                Put(Taken);
                drawn = true;
            }
        }
        lock.lock();
        ++(drawn ? Counts.presented : Counts.superseded);
    }
}

// The end of a wait, under HandOffMutex: the presenter's reading is over, and a picture it
// has not taken yet is kept for the next wait.
void EndWait(std::unique_lock<std::mutex>& lock) {
    ReadDone.wait(lock, [] { return !Reading; });
    Released = false;
}

} // namespace

bool StartPresenter(FramePutter put, FrameReader read, std::chrono::milliseconds holdLimit) {
    if (Thread.joinable())
        return true;
    {
        const std::lock_guard<std::mutex> lock(HandOffMutex);
        PendingFull = Released = Idle = Reading = Stopping = false;
        HoldLimit = holdLimit;
        Counts = PresenterCounts{};
    }
    Put = put;
    Read = read;
    // Signals go to the main thread: its handlers restore the terminal, and a stop from
    // the keyboard must not land in the middle of a drawing.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous);
    try {
        Thread = std::thread(Run);
        pthread_setname_np(Thread.native_handle(), "presenter");
    } catch (const std::system_error&) {
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return Thread.joinable();
}

bool PresenterRunning() {
    return Thread.joinable();
}

void HandOffFrame(void (*fill)(PresentedFrame* frame)) {
    std::unique_lock<std::mutex> lock(HandOffMutex);
    const auto now = std::chrono::steady_clock::now();
    if (PendingFull)
        ++Counts.dropped;
    else
        PendingSince = now;
    fill(&Pending);
    Pending.serial = ++Counts.handed;
    Pending.generation = Generation.load();
    PendingFull = true;
    if (Thread.joinable() && now - PendingSince >= HoldLimit) {
        // The program has not waited since a picture came: the newest is read now, as in
        // a wait, unless the presenter is still busy drawing the one before (the main
        // thread may hold the drawing lock it needs for that).
        Released = true;
        WaitBegun.notify_one();
        ReadDone.wait(lock, [] { return !(PendingFull && Idle); });
        EndWait(lock);
    }
}

void WaitBegins() {
    {
        const std::lock_guard<std::mutex> lock(HandOffMutex);
        if (!PendingFull)
            return;
        Released = true;
    }
    WaitBegun.notify_one();
}

void WaitEnds() {
    std::unique_lock<std::mutex> lock(HandOffMutex);
    EndWait(lock);
}

void StopPresenter() {
    if (!Thread.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(HandOffMutex);
        Stopping = true;
    }
    WaitBegun.notify_one();
    // The presenter reads and shows what is pending first: the last picture is not lost.
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
