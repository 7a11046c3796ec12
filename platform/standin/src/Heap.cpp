// The process heap on the C library's allocator.
#include "StandInPrivate.h"

#include <cstdlib>
#include <vector>

namespace {

// The heap handle is the address of this object; there is only the process heap.
int ProcessHeap;
std::vector<uintptr_t> FreedBlocks;
// Blocks of this size or more are the program's frame buffers: the ones worth warming the
// caches with after a wait.
constexpr SIZE_T LargeBlock = 64 * 1024;
struct Block {
    void* memory;
    SIZE_T size;
};
std::vector<Block> LargeBlocks;

bool IsProcessHeap(HANDLE heap) {
    return heap == &ProcessHeap;
}

} // namespace

HANDLE WINAPI GetProcessHeap() {
    return &ProcessHeap;
}

LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("HeapAlloc", {Arg(heap), Arg(flags), Arg(bytes)}, &failure) ||
        !IsProcessHeap(heap)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // A zero-byte block is still a distinct, freeable block, as on Windows.
    const SIZE_T size = bytes == 0 ? 1 : bytes;
    void* memory = (flags & HEAP_ZERO_MEMORY) != 0 ? std::calloc(size, 1) : std::malloc(size);
    if (memory == nullptr)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    else if (size >= LargeBlock)
        LargeBlocks.push_back({memory, size});
    return memory;
}

BOOL WINAPI HeapFree(HANDLE heap, DWORD flags, LPVOID memory) {
    LogCall("HeapFree", {Arg(heap), Arg(flags), Arg(memory)});
    if (!IsProcessHeap(heap)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    FreedBlocks.push_back(reinterpret_cast<uintptr_t>(memory));
    std::erase_if(LargeBlocks, [memory](const Block& block) { return block.memory == memory; });
    std::free(memory);
    return TRUE;
}

void ResetHeap() {
    FreedBlocks.clear();
}

void WarmHeapBlocks() {
    for (const Block& block : LargeBlocks)
        FetchIntoCaches(block.memory, block.size);
}

std::vector<uintptr_t> StandInFreedBlocks() {
    return FreedBlocks;
}
