#include "Demo.h"

#include "BumpEffect.h"
#include "Console.h"
#include "Termination.h"
#include "VideoOutput.h"

#include <windows.h>

uint32_t FrameCount = 0;
int32_t AnimationTime = 0;
uint32_t StartTicks = 0;
uint32_t ElapsedTicks = 0;

namespace {

constexpr DWORD FrameWaitMilliseconds = 50;

} // namespace

void DemoMain() {
    AllocateBuffers();
    if (!CheckReady()) {
        ShutdownVideo();
        EndProgram();
    }
    OpenDisplay();

    FrameCount = 0;
    StartTicks = GetTickCount();
    InitBumpEffect();
    // The key check comes after the presentation: at least one frame is always shown.
    do {
        ++FrameCount;
        AnimationTime = NextAnimationTime(AnimationTime);
        RenderBumpFrame(AnimationTime);
        Sleep(FrameWaitMilliseconds);
        UpdateScreen();
    } while (!ConsoleKeyPressed());
    ReleaseBumpEffect();
    // Modulo 2^32, so a wrap of the tick counter during the run still measures right.
    ElapsedTicks = GetTickCount() - StartTicks;

    // Discard the key that ended the loop and every other one typed meanwhile.
    while (ConsoleKeyPressed())
        ReadConsoleKey();

    CloseDisplay();
    ShutdownVideo();
    WriteBenchmarkReport(FrameCount, ElapsedTicks);
    EndProgram();
}
