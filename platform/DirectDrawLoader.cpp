#include "DirectDrawLoader.h"

#include <cstring>

static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA layout");

namespace DirectDrawLoader {

HMODULE DirectDrawLibrary = nullptr;

decltype(&::DirectDrawEnumerateA) DirectDrawEnumerateA = nullptr;
decltype(&::DirectDrawEnumerateW) DirectDrawEnumerateW = nullptr;
decltype(&::DirectDrawEnumerateA) DirectDrawEnumerate = nullptr;
decltype(&::DirectDrawEnumerateExA) DirectDrawEnumerateExA = nullptr;
decltype(&::DirectDrawEnumerateExW) DirectDrawEnumerateExW = nullptr;
decltype(&::DirectDrawEnumerateExA) DirectDrawEnumerateEx = nullptr;
decltype(&::DirectDrawCreate) DirectDrawCreate = nullptr;
decltype(&::DirectDrawCreateEx) DirectDrawCreateEx = nullptr;
decltype(&::DirectDrawCreateClipper) DirectDrawCreateClipper = nullptr;

namespace {

// Looks up one export of the loaded library; null when it is not there.
template <typename Function> void Resolve(Function& entry, const char* name) {
    FARPROC address = GetProcAddress(DirectDrawLibrary, name);
    // Through the generic function pointer type, which converts to any other.
    entry = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

} // namespace

bool IsExcludedHost() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);

    // One byte more than GetModuleFileNameA may fill, so a cut path still ends in a 0.
    char path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    CharLowerBuffA(path, length);

    return version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           std::strstr(path, "delphi32.exe") != nullptr;
}

void LoadDirectDraw() {
    if (IsExcludedHost())
        return;
    DirectDrawLibrary = LoadLibraryA("DDraw.dll");
    Resolve(DirectDrawEnumerateA, "DirectDrawEnumerateA");
    Resolve(DirectDrawEnumerateW, "DirectDrawEnumerateW");
    DirectDrawEnumerate = DirectDrawEnumerateA;
    Resolve(DirectDrawEnumerateExA, "DirectDrawEnumerateExA");
    Resolve(DirectDrawEnumerateExW, "DirectDrawEnumerateExW");
    DirectDrawEnumerateEx = DirectDrawEnumerateExA;
    Resolve(DirectDrawCreate, "DirectDrawCreate");
    Resolve(DirectDrawCreateEx, "DirectDrawCreateEx");
    Resolve(DirectDrawCreateClipper, "DirectDrawCreateClipper");
}

void UnloadDirectDraw() {
    // The handle stays as it is: nothing runs after the finalisers.
    if (DirectDrawLibrary != nullptr)
        FreeLibrary(DirectDrawLibrary);
}

} // namespace DirectDrawLoader
