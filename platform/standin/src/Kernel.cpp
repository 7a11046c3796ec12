// kernel32 basics: the tick counter and Sleep (on the virtual clock of the tests or the
// platform's real clock), the last error, the process module and the system version.
#include "StandInPrivate.h"

#include <cstring>
#include <unistd.h>

namespace {

thread_local DWORD LastError = ERROR_SUCCESS;

// The virtual clock of the tests: GetTickCount reads it and Sleep advances it.
bool VirtualClock = false;
DWORD VirtualTicks = 0;

std::string ModuleFileNameOverride;
DWORD PlatformId = VER_PLATFORM_WIN32_NT;

// The process module's handle is the address of this object.
int ProcessModule;

// OSVERSIONINFOEXA: OSVERSIONINFOA plus service-pack numbers, suite mask, product type.
constexpr DWORD VersionInfoExSize = sizeof(OSVERSIONINFOA) + 8;

std::string ModuleFileName() {
    if (!ModuleFileNameOverride.empty())
        return ModuleFileNameOverride;
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return "bumpdemo";
    return std::string(path, static_cast<size_t>(length));
}

} // namespace

DWORD WINAPI GetTickCount() {
    LogCall("GetTickCount", {});
    return CurrentTicks();
}

void WINAPI Sleep(DWORD milliseconds) {
    LogCall("Sleep", {Arg(milliseconds)});
    if (VirtualClock) {
        // A wait all the same: the presentation gets its turn.
        if (PresentationLayer.waitBegins != nullptr)
            PresentationLayer.waitBegins();
        VirtualTicks += milliseconds;
        if (PresentationLayer.waitEnds != nullptr)
            PresentationLayer.waitEnds();
        return;
    }
    const unsigned long long started = FrameClock();
    SleepForReal(milliseconds);
    CountWait(started, started + milliseconds * 1000000ULL, FrameClock());
}

DWORD WINAPI GetLastError() {
    return LastError;
}

void WINAPI SetLastError(DWORD error) {
    LastError = error;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("GetModuleHandleA", {Arg(moduleName)}, &failure)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (moduleName == nullptr)
        return reinterpret_cast<HMODULE>(&ProcessModule);
    return LoadedBuiltinLibrary(moduleName);
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("GetModuleFileNameA",
                        {Arg(module), Arg(static_cast<const void*>(fileName)), Arg(size)},
                        &failure))
        return 0;
    if (module != nullptr && module != reinterpret_cast<HMODULE>(&ProcessModule)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::string path = ModuleFileName();
    if (path.size() >= size) {
        // Truncated to the buffer and still terminated; the result is the buffer size.
        std::memcpy(fileName, path.data(), size - 1);
        fileName[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(fileName, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA versionInfo) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("GetVersionExA", {Arg(static_cast<const void*>(versionInfo))}, &failure))
        return FALSE;
    // Only the two published structure sizes are accepted (OSVERSIONINFOA, ...EXA).
    if (versionInfo == nullptr || (versionInfo->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) &&
                                   versionInfo->dwOSVersionInfoSize != VersionInfoExSize)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    // What Windows 8 and later report to a program without a compatibility manifest.
    versionInfo->dwMajorVersion = 6;
    versionInfo->dwMinorVersion = 2;
    versionInfo->dwBuildNumber = 9200;
    versionInfo->dwPlatformId = PlatformId;
    versionInfo->szCSDVersion[0] = '\0';
    return TRUE;
}

void ResetKernel() {
    LastError = ERROR_SUCCESS;
    VirtualClock = true;
    VirtualTicks = 0;
    ModuleFileNameOverride.clear();
    PlatformId = VER_PLATFORM_WIN32_NT;
    ResetLibraries();
}

void StandInUseVirtualClock(DWORD startTicks) {
    VirtualClock = true;
    VirtualTicks = startTicks;
}

void StandInAdvanceClock(DWORD milliseconds) {
    VirtualTicks += milliseconds;
}

void StandInSetModuleFileName(const std::string& path) {
    ModuleFileNameOverride = path;
}

void StandInSetPlatformId(DWORD platformId) {
    PlatformId = platformId;
}

DWORD CurrentTicks() {
    return VirtualClock ? VirtualTicks : RealTicks();
}

void WaitUntilTicks(DWORD ticks) {
    const DWORD distance = ticks - CurrentTicks();
    if (distance >= 0x80000000u)
        return;
    if (VirtualClock) {
        VirtualTicks = ticks;
        return;
    }
    SleepForReal(distance);
}
