// The per-frame pass: every pixel of the picture brightened by its light-map cell, by the
// version of ShadePixels this processor runs fastest.
#include "BumpEffect.h"
#include "ShadeKernels.h"

#include "VideoOutput.h"

static_assert(EffectWidth == FrameWidth && EffectHeight == FrameHeight);

void ShadeFrame(int lightX, int lightY) {
    const uint16_t lightOffset = static_cast<uint16_t>((lightY & 0xFF) << 8 | (lightX & 0xFF));
    // The frame buffer is taken once: the whole pass goes to the same buffer.
    uint32_t* const frame = FrameBuffer;
    // The fastest version of ShadePixels this processor runs, chosen at program start.
    ShadePixelsKernel(BumpOffsets, ShadedImage, SelectedLightMap, lightOffset, frame, EffectPixels);
}
