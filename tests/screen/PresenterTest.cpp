// The presenter's hand-over: pictures are read only while the main thread waits, the
// newest picture wins while the presenter is busy, a picture made before the windows
// changed is not drawn, and stopping draws what is pending first, also when the process
// ends by exit (every way the program ends).
#include "Screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The pictures drawn, by the first pixel byte FillWith wrote; the drawing of the first one
// can be held until released.
std::mutex Mutex;
std::condition_variable Changed;
std::vector<int> Drawn;
bool HoldFirst = false, Released = false;
int NextPicture = 0;

void Draw(const PresentedFrame& frame) {
    std::unique_lock<std::mutex> lock(Mutex);
    Drawn.push_back(frame.areas[0].pixels.at(0));
    Changed.notify_all();
    if (HoldFirst && Drawn.size() == 1)
        Changed.wait(lock, [] { return Released; });
}

void FillWith(PresentedFrame* frame) {
    frame->areas.resize(1);
    frame->count = 1;
    frame->areas[0].pixels.assign(4, static_cast<uint8_t>(NextPicture));
}

void HandOver(int picture) {
    NextPicture = picture;
    HandOffFrame(FillWith);
}

std::vector<int> DrawnNow() {
    const std::lock_guard<std::mutex> lock(Mutex);
    return Drawn;
}

// Waits for the presenter to have drawn count pictures; false when it does not (the
// limit only keeps a broken presenter from hanging the test).
bool WaitUntilDrawn(size_t count) {
    std::unique_lock<std::mutex> lock(Mutex);
    return Changed.wait_for(lock, std::chrono::seconds(10),
                            [count] { return Drawn.size() >= count; });
}

// The reader checks that the main thread waits while the presenter reads.
std::atomic<bool> MainWaits{false};
std::atomic<int> ReadsOutsideWaits{0};

void CheckMainWaits(PresentedFrame*) {
    if (!MainWaits)
        ++ReadsOutsideWaits;
}

// A wait of the main thread, until the presenter has drawn one more picture or ended at once.
void Wait(bool untilDrawn) {
    const size_t drawn = DrawnNow().size();
    MainWaits = true;
    WaitBegins();
    if (untilDrawn) {
        EXPECT_TRUE(WaitUntilDrawn(drawn + 1)) << "nothing drawn in the wait";
    }
    WaitEnds();
    MainWaits = false;
}

// No hold limit that a slow test machine could reach: only waits let the presenter read.
constexpr std::chrono::hours NoHoldLimit{1};

class Presenter : public testing::Test {
  protected:
    void SetUp() override {
        Drawn.clear();
        HoldFirst = Released = false;
        ReadsOutsideWaits = 0;
        ASSERT_TRUE(StartPresenter(Draw, CheckMainWaits, NoHoldLimit));
    }
    void TearDown() override { StopPresenter(); }
};

TEST_F(Presenter, PicturesAreReadOnlyWhileTheMainThreadWaits) {
    HandOver(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(DrawnNow().empty()) << "drawn before the main thread waited";
    Wait(true);
    EXPECT_EQ(DrawnNow(), (std::vector<int>{1}));
    SCOPED_TRACE("a wait that ends at once: 2 is read in it, or kept for the next");
    HandOver(2);
    Wait(false);
    HandOver(3);
    Wait(true);
    EXPECT_EQ(DrawnNow().back(), 3);
    EXPECT_EQ(ReadsOutsideWaits, 0);
}

TEST_F(Presenter, NewestPictureWinsWhileBusy) {
    HoldFirst = true;
    HandOver(1);
    Wait(true);
    // The presenter is busy with 1: 2 and 3 are dropped for 4, and nothing queues up.
    for (int picture : {2, 3, 4})
        HandOver(picture);
    {
        const std::lock_guard<std::mutex> lock(Mutex);
        Released = true;
    }
    Changed.notify_all();
    StopPresenter();
    EXPECT_EQ(DrawnNow(), (std::vector<int>{1, 4}));
    const PresenterCounts counts = PresenterCountsNow();
    EXPECT_EQ(counts.handed, 4u);
    EXPECT_EQ(counts.presented, 2u);
    EXPECT_EQ(counts.dropped, 2u);
}

TEST_F(Presenter, PictureFromBeforeAWindowChangeIsNotDrawn) {
    {
        const auto changing = ChangeSdlWindows();
        HandOver(1);
        // The windows change after the picture was made (the main thread draws them anew).
        const auto again = ChangeSdlWindows();
    }
    HandOver(2);
    StopPresenter();
    // 1 is either superseded or replaced by 2 before the presenter took it.
    EXPECT_EQ(DrawnNow(), (std::vector<int>{2}));
    const PresenterCounts counts = PresenterCountsNow();
    EXPECT_EQ(counts.superseded + counts.dropped, 1u);
}

// Many pictures as fast as they come, as a frame loop makes them: the main thread writes
// the screen, hands the picture over and mostly waits (some waits end at once, some
// pictures come without a wait, and a program that never waits has the presenter read at
// the hold limit). None is read torn (every byte of the screen as the picture's own), none
// drawn twice or out of order, and every one is accounted for. Run under ThreadSanitizer,
// this is the hand-over's soak: the screen is read only while the main thread waits.
std::vector<uint8_t> Screen(64000);
unsigned long LastSerial = 0;
int Torn = 0, OutOfOrder = 0;

void ReadScreen(PresentedFrame* frame) {
    frame->areas[0].pixels = Screen;
}

void CheckWhole(const PresentedFrame& frame) {
    const std::vector<uint8_t>& pixels = frame.areas[0].pixels;
    for (uint8_t byte : pixels)
        if (byte != static_cast<uint8_t>(frame.serial)) {
            ++Torn;
            break;
        }
    if (frame.serial <= LastSerial)
        ++OutOfOrder;
    LastSerial = frame.serial;
}

void NoteWhere(PresentedFrame* frame) {
    frame->areas.resize(1);
    frame->count = 1;
}

TEST(PresenterSoak, NoPictureTornLostOrRepeated) {
    for (const std::chrono::milliseconds holdLimit :
         {DefaultHoldLimit, std::chrono::milliseconds(0)}) {
        SCOPED_TRACE("hold limit " + std::to_string(holdLimit.count()) + " ms");
        LastSerial = 0;
        Torn = OutOfOrder = 0;
        ASSERT_TRUE(StartPresenter(CheckWhole, ReadScreen, holdLimit));
        constexpr unsigned long Pictures = 3000;
        for (unsigned long serial = 1; serial <= Pictures; ++serial) {
            std::fill(Screen.begin(), Screen.end(), static_cast<uint8_t>(serial));
            HandOffFrame(NoteWhere);
            if (serial % 5 == 0)
                continue;
            WaitBegins();
            if (serial % 3 != 0)
                std::this_thread::yield();
            WaitEnds();
        }
        StopPresenter();
        const PresenterCounts counts = PresenterCountsNow();
        EXPECT_EQ(Torn, 0);
        EXPECT_EQ(OutOfOrder, 0);
        EXPECT_EQ(LastSerial, Pictures);
        EXPECT_EQ(counts.handed, Pictures);
        EXPECT_EQ(counts.presented + counts.dropped + counts.superseded, Pictures);
    }
}

// The last picture handed over is drawn before the process ends, whichever way it ends:
// the report and every box end through exit(0), running out of memory through exit(203);
// the stop is an exit handler, as in the screen layer. A stop without a thread, or a
// second one, does nothing.
TEST(PresenterStop, LastPictureDrawnOnEveryExit) {
    for (int code : {0, 203}) {
        SCOPED_TRACE("exit code " + std::to_string(code));
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeEnds[0]);
            static int Out = pipeEnds[1];
            std::atexit([] {
                StopPresenter();
                StopPresenter();
                for (int picture : DrawnNow()) {
                    const char byte = static_cast<char>(picture);
                    (void)!write(Out, &byte, 1);
                }
            });
            StartPresenter(Draw);
            for (int picture = 1; picture <= 50; ++picture)
                HandOver(picture);
            std::exit(code);
        }
        close(pipeEnds[1]);
        std::vector<char> drawn;
        char byte;
        while (read(pipeEnds[0], &byte, 1) == 1)
            drawn.push_back(byte);
        close(pipeEnds[0]);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), code);
        ASSERT_FALSE(drawn.empty());
        EXPECT_EQ(drawn.back(), 50);
    }
}

} // namespace
