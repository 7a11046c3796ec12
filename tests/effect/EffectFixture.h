// A ready effect drawing into a frame buffer of the test's own.
#pragma once

#include "BumpEffect.h"
#include "VideoOutput.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

class ReadyEffect : public ::testing::Test {
  protected:
    void SetUp() override {
        frame.assign(EffectPixels, 0);
        FrameBuffer = frame.data();
        InitBumpEffect();
    }
    void TearDown() override {
        ReleaseBumpEffect();
        FrameBuffer = nullptr;
    }
    std::vector<uint32_t> frame;
};

// 64-bit FNV-1a over the frame's pixels, each as four little-endian bytes.
inline uint64_t FrameHash(const std::vector<uint32_t>& pixels) {
    uint64_t hash = 0xCBF29CE484222325;
    for (const uint32_t pixel : pixels)
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= pixel >> shift & 0xFF;
            hash *= 0x100000001B3;
        }
    return hash;
}
