// The effect and the frame the benchmarks work on.
#include "BenchData.h"

#include "BumpEffect.h"
#include "VideoOutput.h"

namespace {

std::vector<uint32_t> EffectFrame(BenchPixels);
std::vector<uint16_t> PathOffsets;
std::vector<uint32_t> Drawn;

} // namespace

void PrepareBenchData() {
    FrameBuffer = EffectFrame.data();
    InitBumpEffect();
    for (int time = 0; time < 90; ++time) {
        RenderBumpFrame(time);
        PathOffsets.push_back(static_cast<uint16_t>((LightY & 0xFF) << 8 | (LightX & 0xFF)));
    }
    // A frame with the light spot well inside the picture.
    RenderBumpFrame(11);
    Drawn = EffectFrame;
}

const std::vector<uint16_t>& LightOffsets() {
    return PathOffsets;
}

const std::vector<uint32_t>& DrawnFrame() {
    return Drawn;
}

int SurfacePitch(int bytesPerPixel) {
    return BenchWidth * bytesPerPixel + SurfacePadding;
}

Surface MakeSurface(int bytesPerPixel) {
    return Surface(static_cast<size_t>(SurfacePitch(bytesPerPixel)) * BenchHeight);
}
