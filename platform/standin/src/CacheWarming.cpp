// The caches warmed at the end of a wait with the memory the program's next frame works
// on. After a 50 ms sleep, and the screen layer's drawing at its start, a frame's buffers
// and surfaces have left the caches, and its work took about three times as long as warm.
#include "DirectDrawPrivate.h"

namespace {

constexpr size_t CacheLine = 64;

} // namespace

// Reads a byte of each line, with the value discarded: the program's blocks may hold bytes
// it never wrote. Prefetch instructions, which may be dropped, warmed about half as much.
void FetchIntoCaches(const void* bytes, size_t size) {
    const auto* first = static_cast<const volatile unsigned char*>(bytes);
    for (size_t offset = 0; offset < size; offset += CacheLine)
        static_cast<void>(first[offset]);
}

void WarmFrameMemory() {
    WarmHeapBlocks();
    WarmSurfaces();
}
