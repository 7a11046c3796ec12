#include "Heap.h"
#include "Termination.h"

#include <windows.h>

void* AllocateMemory(std::size_t bytes) {
    void* memory = HeapAlloc(GetProcessHeap(), 0, bytes);
    if (memory == nullptr)
        RunError(OutOfMemoryExitCode, "out of memory");
    return memory;
}

void FreeMemory(void* memory) {
    HeapFree(GetProcessHeap(), 0, memory);
}
