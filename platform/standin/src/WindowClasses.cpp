// The window class registry. Class names match without regard to letter case; a class
// may also be named by the atom RegisterClassA returned.
#include "WindowManager.h"

#include <cctype>
#include <vector>

namespace {

struct WindowClass {
    std::string name; // as registered
    std::string menuName;
    bool hasMenuName;
    ATOM atom;
    WNDCLASSA description;
};

std::vector<WindowClass> Classes;
ATOM NextAtom = 0xC000; // the range Windows gives registered classes

bool IsAtom(LPCSTR name) {
    return reinterpret_cast<uintptr_t>(name) <= 0xFFFF;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

WindowClass* FindClass(LPCSTR name) {
    if (name == nullptr)
        return nullptr;
    for (WindowClass& windowClass : Classes) {
        if (IsAtom(name) ? windowClass.atom == reinterpret_cast<uintptr_t>(name)
                         : SameName(windowClass.name, name))
            return &windowClass;
    }
    return nullptr;
}

} // namespace

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("RegisterClassA", {Arg(static_cast<const void*>(windowClass))}, &failure))
        return 0;
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
        IsAtom(windowClass->lpszClassName) || windowClass->cbClsExtra < 0 ||
        windowClass->cbWndExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (FindClass(windowClass->lpszClassName) != nullptr) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    WindowClass entry{windowClass->lpszClassName,
                      windowClass->lpszMenuName != nullptr ? windowClass->lpszMenuName : "",
                      windowClass->lpszMenuName != nullptr, NextAtom++, *windowClass};
    // The description keeps no pointers into the caller's strings.
    entry.description.lpszClassName = nullptr;
    entry.description.lpszMenuName = nullptr;
    Classes.push_back(entry);
    return entry.atom;
}

// The registered description; the names point to the registry's copies. Classes are the
// process's own here, so the instance is not compared.
BOOL WINAPI GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* windowClass) {
    LogCall("GetClassInfoA", {Arg(instance), Arg(className), Arg(windowClass)});
    const WindowClass* found = FindClass(className);
    if (found == nullptr || windowClass == nullptr) {
        SetLastError(found == nullptr ? ERROR_CLASS_DOES_NOT_EXIST : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *windowClass = found->description;
    windowClass->lpszMenuName = found->hasMenuName ? found->menuName.c_str() : nullptr;
    windowClass->lpszClassName = found->name.c_str();
    return TRUE;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("UnregisterClassA", {Arg(className), Arg(instance)}, &failure))
        return FALSE;
    WindowClass* windowClass = FindClass(className);
    if (windowClass == nullptr) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (ClassHasWindows(windowClass->name)) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    Classes.erase(Classes.begin() + (windowClass - Classes.data()));
    return TRUE;
}

WNDPROC ClassProcedure(LPCSTR className) {
    const WindowClass* windowClass = FindClass(className);
    return windowClass != nullptr ? windowClass->description.lpfnWndProc : nullptr;
}

bool ClassExists(LPCSTR className) {
    return FindClass(className) != nullptr;
}

std::string ClassName(LPCSTR className) {
    const WindowClass* windowClass = FindClass(className);
    return windowClass != nullptr ? windowClass->name : std::string();
}

void ResetWindowClasses() {
    Classes.clear();
}
