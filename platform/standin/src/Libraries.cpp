// LoadLibraryA, GetProcAddress and FreeLibrary over the stand-in's built-in libraries.
// Names match without regard to letter case, and ".dll" is implied as on Windows.
#include "StandInPrivate.h"

#include <cctype>
#include <deque>
#include <set>
#include <utility>

namespace {

struct BuiltinLibrary {
    std::string name; // normalised: lower case with ".dll"
    FARPROC (*resolve)(const char* exportName);
    int loads; // LoadLibraryA calls not yet matched by FreeLibrary
};

// Entries are never removed and a deque keeps them in place, so their addresses serve
// as module handles. A function-local object: registration may run from static
// initialisers of other files.
std::deque<BuiltinLibrary>& Libraries() {
    static std::deque<BuiltinLibrary> libraries;
    return libraries;
}

std::set<std::string> RemovedLibraries;
std::set<std::pair<std::string, std::string>> RemovedExports;

std::string NormalisedName(const char* name) {
    std::string result(name);
    // A path names the library by its last component.
    const size_t slash = result.find_last_of("\\/");
    if (slash != std::string::npos)
        result.erase(0, slash + 1);
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (result.find('.') == std::string::npos)
        result += ".dll";
    return result;
}

BuiltinLibrary* FindLibrary(const std::string& normalised) {
    for (BuiltinLibrary& library : Libraries())
        if (library.name == normalised)
            return &library;
    return nullptr;
}

BuiltinLibrary* FromHandle(HMODULE module) {
    for (BuiltinLibrary& library : Libraries())
        if (reinterpret_cast<HMODULE>(&library) == module)
            return &library;
    return nullptr;
}

} // namespace

void RegisterBuiltinLibrary(const char* name, FARPROC (*resolve)(const char* exportName)) {
    const std::string normalised = NormalisedName(name);
    if (BuiltinLibrary* existing = FindLibrary(normalised)) {
        existing->resolve = resolve;
        return;
    }
    Libraries().push_back(BuiltinLibrary{normalised, resolve, 0});
}

HMODULE LoadedBuiltinLibrary(const char* name) {
    BuiltinLibrary* library = FindLibrary(NormalisedName(name));
    if (library == nullptr || library->loads == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(library);
}

void ResetLibraries() {
    RemovedLibraries.clear();
    RemovedExports.clear();
    for (BuiltinLibrary& library : Libraries())
        library.loads = 0;
}

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("LoadLibraryA", {Arg(fileName)}, &failure)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (fileName == nullptr || reinterpret_cast<uintptr_t>(fileName) <= 0xFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string normalised = NormalisedName(fileName);
    BuiltinLibrary* library = FindLibrary(normalised);
    if (library == nullptr || RemovedLibraries.count(normalised) != 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++library->loads;
    return reinterpret_cast<HMODULE>(library);
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("GetProcAddress", {Arg(module), Arg(procName)}, &failure)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    BuiltinLibrary* library = FromHandle(module);
    if (library == nullptr || library->loads == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // Built-in libraries export by name only.
    if (procName == nullptr || reinterpret_cast<uintptr_t>(procName) <= 0xFFFF ||
        RemovedExports.count({library->name, procName}) != 0) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    FARPROC entry = library->resolve(procName);
    if (entry == nullptr)
        SetLastError(ERROR_PROC_NOT_FOUND);
    return entry;
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("FreeLibrary", {Arg(module)}, &failure))
        return FALSE;
    BuiltinLibrary* library = FromHandle(module);
    if (library == nullptr || library->loads == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    --library->loads;
    return TRUE;
}

void StandInRemoveLibrary(const std::string& name) {
    RemovedLibraries.insert(NormalisedName(name.c_str()));
}

void StandInRemoveExport(const std::string& library, const std::string& exportName) {
    RemovedExports.insert({NormalisedName(library.c_str()), exportName});
}
