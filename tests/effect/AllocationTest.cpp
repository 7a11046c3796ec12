// The working buffers' life: their allocation, its failure, their release (Linux stand-in).
#include "EffectFixture.h"

#include "StandIn.h"

#include <string>

namespace {

std::vector<std::string> HeapCalls() {
    std::vector<std::string> calls;
    for (const std::string& call : StandInCallLog())
        if (call.starts_with("HeapAlloc") || call.starts_with("HeapFree"))
            calls.push_back(call);
    return calls;
}

TEST(EffectBuffers, AllocatedInOrderAndReleased) {
    StandInReset();
    std::vector<uint32_t> frame(EffectPixels);
    FrameBuffer = frame.data();
    InitBumpEffect();
    EXPECT_EQ(HeapCalls(),
              (std::vector<std::string>{"HeapAlloc(ptr, 0, 128000)", "HeapAlloc(ptr, 0, 256000)"}));
    EXPECT_EQ(SelectedLightMap, LightMap);
    EXPECT_EQ(SelectedHeightMap, HeightMap);
    RenderBumpFrame(1);
    EXPECT_EQ(HeapCalls().size(), 2u) << "nothing allocated per frame";
    const std::vector<uintptr_t> release = {reinterpret_cast<uintptr_t>(BumpOffsets),
                                            reinterpret_cast<uintptr_t>(ShadedImage)};
    ReleaseBumpEffect();
    EXPECT_EQ(StandInFreedBlocks(), release) << "the offsets first, then the shaded image";
    EXPECT_EQ(BumpOffsets, nullptr);
    EXPECT_EQ(ShadedImage, nullptr);
    EXPECT_EQ(SelectedLightMap, LightMap) << "the stored tables stay selected";
    EXPECT_EQ(SelectedHeightMap, HeightMap);
    FrameBuffer = nullptr;
}

TEST(EffectBuffersDeathTest, OutOfMemoryEndsTheProgramWith203) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const int skip : {0, 1}) {
        SCOPED_TRACE(skip == 0 ? "offsets buffer" : "shaded image");
        EXPECT_EXIT(
            {
                StandInReset();
                StandInFailCall("HeapAlloc", 0, skip);
                InitBumpEffect();
            },
            testing::ExitedWithCode(203), "^Runtime error 203: out of memory\n$");
    }
}

} // namespace
