// The presenter's hand-over: the newest picture wins while the presenter is busy, a
// picture made before the windows changed is not drawn, and stopping draws what is
// pending first, also when the process ends by exit (every way the program ends).
#include "Screen.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
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

class Presenter : public testing::Test {
  protected:
    void SetUp() override {
        Drawn.clear();
        HoldFirst = Released = false;
        ASSERT_TRUE(StartPresenter(Draw));
    }
    void TearDown() override { StopPresenter(); }
};

TEST_F(Presenter, NewestPictureWinsWhileBusy) {
    HoldFirst = true;
    HandOver(1);
    {
        std::unique_lock<std::mutex> lock(Mutex);
        Changed.wait(lock, [] { return !Drawn.empty(); });
    }
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

// Many pictures handed over as fast as they come, the presenter drawing as it can: none is
// drawn torn (every byte of a picture is its own), none twice or out of order, and every
// one is accounted for. Run under ThreadSanitizer, this is the hand-over's soak.
unsigned long LastSerial = 0;
int Torn = 0, OutOfOrder = 0;

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

void FillWithSerial(PresentedFrame* frame) {
    frame->areas.resize(1);
    frame->count = 1;
    // The serial this picture gets: one more than the pictures handed over so far.
    frame->areas[0].pixels.assign(64000, static_cast<uint8_t>(++NextPicture));
}

TEST(PresenterSoak, NoPictureTornLostOrRepeated) {
    LastSerial = 0;
    Torn = OutOfOrder = NextPicture = 0;
    ASSERT_TRUE(StartPresenter(CheckWhole));
    constexpr unsigned long Pictures = 3000;
    for (unsigned long i = 0; i < Pictures; ++i)
        HandOffFrame(FillWithSerial);
    StopPresenter();
    const PresenterCounts counts = PresenterCountsNow();
    EXPECT_EQ(Torn, 0);
    EXPECT_EQ(OutOfOrder, 0);
    EXPECT_EQ(LastSerial, Pictures);
    EXPECT_EQ(counts.handed, Pictures);
    EXPECT_EQ(counts.presented + counts.dropped + counts.superseded, Pictures);
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
