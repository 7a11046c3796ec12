// Whole runs of the program on the stand-in, in each mode and at each depth the display
// offers: after the console key, the screen shows exactly the effect's last frame.
#include "StandInVideo.h"

#include "Demo.h"
#include "VideoOutput.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

// At the end of the run, after every finaliser: does the screen show FrameBuffer, the
// frame the effect drew last, in the display's format?
void CompareScreenWithTheLastFrame() {
    const RECT area = FullScreen ? RECT{0, 0, FrameWidth, FrameHeight} : DestRect;
    const std::vector<uint32_t> frame(FrameBuffer, FrameBuffer + FramePixels);
    const std::set<uint32_t> colours(frame.begin(), frame.end());
    const bool shown =
        StandInReadScreen(area) == ShownFrame(frame, DisplayBpp, FrameWidth, FrameHeight);
    std::fprintf(stderr, "frames=%u depth=%d colours=%s screen=%s\n", FrameCount, DisplayBpp,
                 colours.size() > 1000 ? "many" : "few", shown ? "frame" : "other");
}

[[noreturn]] void RunProgram() {
    std::atexit(CompareScreenWithTheLastFrame);
    InitialiseModules();
    DemoMain();
}

TEST(WholeRun, ScreenShowsTheEffectsLastFrame) {
    struct Case {
        const char* label;
        int answer;
        StandInDisplay display;
        const char* result;
    };
    const Case cases[] = {
        {"full screen, 32 bits", IDYES, FullScreenDisplay({32, 24, 16}),
         "frames=3 depth=32 colours=many screen=frame"},
        {"full screen, 24 bits", IDYES, FullScreenDisplay({24, 16}),
         "frames=3 depth=24 colours=many screen=frame"},
        {"full screen, only 16 bits, 5-6-5", IDYES, FullScreenDisplay({16}, 0xF800),
         "frames=3 depth=16 colours=many screen=frame"},
        {"full screen, only 16 bits, 5-5-5", IDYES, FullScreenDisplay({16}, 0x7C00),
         "frames=3 depth=15 colours=many screen=frame"},
        {"windowed, 32-bit desktop", IDNO, DesktopDisplay(32),
         "frames=3 depth=32 colours=many screen=frame"},
        {"windowed, 24-bit desktop", IDNO, DesktopDisplay(24),
         "frames=3 depth=24 colours=many screen=frame"},
        {"windowed, 16-bit desktop, 5-6-5", IDNO, DesktopDisplay(16, 0xF800),
         "frames=3 depth=16 colours=many screen=frame"},
        {"windowed, 16-bit desktop, 5-5-5", IDNO, DesktopDisplay(16, 0x7C00),
         "frames=3 depth=15 colours=many screen=frame"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ResetStandIn(c.display);
        StandInQueueMessageBoxAnswer(c.answer);
        // A key after three frames of 50 ms each.
        StandInQueueConsoleInput(StandInKeyEvent('X', true, 'x'), 150);
        StandInQueueConsoleInput(StandInKeyEvent('X', false, 'x'), 150);

        const StandInDump dump = RunToEnd(RunProgram, 0, c.result);
        EXPECT_EQ(dump.boxes.size(), 1u); // the question only
        EXPECT_NE(dump.console.find("BENCHMARK: "), std::string::npos);
    }
}

} // namespace
