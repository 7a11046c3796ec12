// The presenter: pictures of the screen drawn on a thread of their own (ScreenPresenter.cpp)
// and put on the X server (ScreenXPut.cpp). Part of the screen layer's internals.
#pragma once

#include <SDL.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

// --- The presenter (ScreenPresenter.cpp) -----------------------------------------------------
// A picture for one SDL window: the screen's area it shows, and where it goes there.
struct PresentedArea {
    unsigned long xWindow;       // the window on the X server
    Uint32 windowFormat;         // the window's pixel format
    int x, y, factor;            // the picture's top-left corner in the window, its enlargement
    int left, top;               // the area's top-left corner on the screen
    int width, height;           // the area's size
    Uint32 format;               // the screen's pixel format
    std::vector<uint8_t> pixels; // the area's pixels, rows packed tightly, once read
};
// One picture handed over: areas[0, count) are in use (the vector keeps its buffers).
struct PresentedFrame {
    std::vector<PresentedArea> areas;
    size_t count = 0;
    unsigned long serial = 0;     // 1 for the first picture handed over, and so on
    unsigned long generation = 0; // the SDL windows' state it was made in
};
// Draws a picture on the display; runs on the presenter's thread, under the drawing lock.
typedef void (*FramePutter)(const PresentedFrame& frame);
// Reads the screen's pixels into a picture's areas; runs on the presenter's thread while
// the main thread waits.
typedef void (*FrameReader)(PresentedFrame* frame);
struct PresenterCounts {
    unsigned long handed;     // pictures handed over
    unsigned long presented;  // drawn by the presenter
    unsigned long dropped;    // replaced by a newer one before the presenter took them
    unsigned long superseded; // taken, but the windows changed since: not drawn
};
// How long a program that never waits keeps the presenter from reading its pictures.
constexpr std::chrono::milliseconds DefaultHoldLimit{20};
// Starts the presenter's thread (signals stay with the main thread); false when it cannot.
// Without a reader, the pictures hold their pixels when they are handed over.
bool StartPresenter(FramePutter put, FrameReader read = nullptr,
                    std::chrono::milliseconds holdLimit = DefaultHoldLimit);
bool PresenterRunning();
// Fills the pending slot (its buffers are reused) and returns; the picture is read and
// drawn when the main thread next waits.
void HandOffFrame(void (*fill)(PresentedFrame* frame));
// The main thread is about to wait: the presenter may read the pending picture now. And
// the wait is over: returns once the presenter is not reading (a picture it has not begun
// to read is kept for the next wait).
void WaitBegins();
void WaitEnds();
// Reads and draws what is still pending, then ends the thread. Nothing happens without a
// thread.
void StopPresenter();
PresenterCounts PresenterCountsNow();
// The drawing lock, held by the main thread while it creates, changes, draws or destroys
// SDL windows: the presenter draws nothing meanwhile, nor afterwards what it was handed
// before. Recursive: window procedures may change windows again.
std::unique_lock<std::recursive_mutex> ChangeSdlWindows();

// The presenter's reader (ScreenWindows.cpp): the screen's pixels of each area.
void ReadFrame(PresentedFrame* frame);

// --- On the X server (ScreenXPut.cpp) ----------------------------------------------------------
// Starts the presenter at the first need, when SDL shows windows on an X server: it has a
// connection of its own and puts pictures straight into the X windows SDL made, while
// SDL's calls all stay on the main thread. False when the presenter cannot run (the
// screen is then drawn by the main thread).
bool PresentingOnX();
// Whether an SDL window's pixel format is one the presenter's connection draws.
bool PresentableFormat(Uint32 windowFormat);
// Stops the presenter (the last picture drawn) and closes its connection.
void StopPresentingOnX();

// --- SDL's X connection (ScreenXEvents.cpp) ----------------------------------------------------
// The X window of an SDL window, 0 when it has none.
unsigned long XWindowOf(SDL_Window* sdl);
// Whether SDL holds events or its X connection has anything to read; true where SDL's
// windows are not on X (SDL must pump then).
bool SdlEventsWaiting(SDL_Window* window);
