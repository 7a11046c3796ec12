// What the benchmarks work on: the effect ready with its own tables, a frame it drew,
// the light positions of the whole path, and surfaces whose rows are wider than a row of
// converted pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

constexpr int BenchWidth = 320;
constexpr int BenchHeight = 200;
constexpr int BenchPixels = BenchWidth * BenchHeight;
constexpr int BenchFrameBytes = BenchPixels * 4;
constexpr int SurfacePadding = 64; // bytes after each converted row

// Makes the effect ready (InitBumpEffect) drawing into a frame of the benchmark's own.
void PrepareBenchData();

// The light offset (256 * LightY + LightX) of each of the 90 phases of the path.
const std::vector<uint16_t>& LightOffsets();
// A frame the effect drew, as PresentFrame gets it.
const std::vector<uint32_t>& DrawnFrame();
// Surface memory starts on a 64-byte boundary, as display memory does (page-aligned).
template <typename T> struct LineAlignedAllocator {
    using value_type = T;
    LineAlignedAllocator() = default;
    template <typename U> LineAlignedAllocator(const LineAlignedAllocator<U>&) {}
    T* allocate(size_t count) {
        return static_cast<T*>(::operator new (count * sizeof(T), std::align_val_t{64}));
    }
    void deallocate(T* memory, size_t) { ::operator delete (memory, std::align_val_t{64}); }
    bool operator==(const LineAlignedAllocator&) const { return true; }
};
using Surface = std::vector<uint8_t, LineAlignedAllocator<uint8_t>>;

// A surface for 320 x 200 pixels of this many bytes, each row followed by SurfacePadding.
Surface MakeSurface(int bytesPerPixel);
int SurfacePitch(int bytesPerPixel);
