// Soak: many frames rendered and presented through the stand-in without the wait, at
// every depth in both modes. The heap in use must not grow, and the frames read back from
// the screen at a sample of times must be exactly the effect's frame in the display's
// format.
#include "StandInVideo.h"

#include "BumpEffect.h"
#include "VideoOutput.h"

#include <gtest/gtest.h>

#include <malloc.h>

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer's allocator keeps its own count; glibc's mallinfo2 does not see it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Frames over all eight depths and modes; the build sets fewer under the sanitizers.
#ifndef SOAK_FRAMES
#define SOAK_FRAMES 100000
#endif
constexpr int Frames = SOAK_FRAMES;
constexpr int SampleEvery = 997; // frames between two read-backs, prime to the path's 90

// Bytes the program holds on the heap now.
size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

// The frame just drawn against the plain shading pass, and the screen against the
// frame in the display's format. Answers whether both hold.
bool FrameReadsBackRight() {
    std::vector<uint32_t> want(FramePixels);
    ShadePixels(BumpOffsets, ShadedImage, SelectedLightMap,
                static_cast<uint16_t>((LightY & 0xFF) << 8 | (LightX & 0xFF)), want.data(),
                FramePixels);
    if (!std::equal(want.begin(), want.end(), FrameBuffer))
        return false;
    const RECT area = FullScreen ? RECT{0, 0, FrameWidth, FrameHeight} : DestRect;
    return StandInReadScreen(area) == ShownFrame(want, DisplayBpp, FrameWidth, FrameHeight);
}

TEST(Soak, FramesAtEveryDepthKeepTheHeapAndReadBackRight) {
    const std::vector<Depth> depths = Depths();
    const int framesPerDepth = Frames / static_cast<int>(depths.size());
    std::vector<uint32_t> frame(FramePixels);
    int32_t time = 0;
    for (const Depth& depth : depths) {
        SCOPED_TRACE(depth.label);
        OpenDisplayAtDepth(depth);
        ASSERT_EQ(DisplayBpp, depth.bitsPerPixel);
        InitVideoOutput();
        FrameBuffer = frame.data();
        InitBumpEffect();

        size_t heapBefore = 0;
        int wrongFrames = 0;
        int samples = 0;
        for (int n = 0; n < framesPerDepth; ++n) {
            RenderBumpFrame(++time);
            UpdateScreen();
            // The stand-in logs every call for the tests; the soak keeps no log.
            StandInClearCallLog();
            // The first half settles what is allocated once (buffers that reach their
            // size, the allocator's own bookkeeping); a leak shows over the second half.
            if (n == framesPerDepth / 2)
                heapBefore = HeapInUse();
            if (n % SampleEvery == 0 || n == framesPerDepth - 1) {
                ++samples;
                if (!FrameReadsBackRight()) {
                    ADD_FAILURE() << "frame " << n << " (time " << time << ") reads back wrong";
                    if (++wrongFrames == 3)
                        break;
                }
            }
        }
        const size_t heapAfter = HeapInUse();
        EXPECT_LE(heapAfter, heapBefore) << "heap grew by " << heapAfter - heapBefore << " bytes";
        EXPECT_GE(samples, 2);
        ReleaseBumpEffect();
    }
    FrameBuffer = nullptr;
}

} // namespace
