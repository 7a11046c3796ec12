// Device contexts, stock objects and standard icons and cursors: handles that stand for
// the screen and the system's resources.
#include "StandInPrivate.h"

namespace {

// Handles are the addresses of these objects.
int ScreenContext;
int StockObjects[BLACK_BRUSH + 1];
int ApplicationIcon;
int ArrowCursor;

constexpr uintptr_t StandardResource = 32512; // IDI_APPLICATION and IDC_ARROW

} // namespace

HDC WINAPI GetDC(HWND window) {
    LONG_PTR failure = 0;
    if (LoggedCallFails("GetDC", {Arg(window)}, &failure))
        return nullptr;
    if (window != nullptr && !WindowExists(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return reinterpret_cast<HDC>(&ScreenContext);
}

int WINAPI ReleaseDC(HWND window, HDC dc) {
    LogCall("ReleaseDC", {Arg(window), Arg(dc)});
    return dc == reinterpret_cast<HDC>(&ScreenContext) ? 1 : 0;
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
    LogCall("GetDeviceCaps", {Arg(dc), Arg(index)});
    if (dc != reinterpret_cast<HDC>(&ScreenContext))
        return 0;
    const ScreenMode screen = CurrentScreenMode();
    switch (index) {
    case BITSPIXEL:
        return screen.bitsPerPixel;
    case HORZRES:
        return screen.width;
    case VERTRES:
        return screen.height;
    default:
        return 0;
    }
}

HGDIOBJ WINAPI GetStockObject(int object) {
    LogCall("GetStockObject", {Arg(object)});
    if (object < 0 || object > BLACK_BRUSH)
        return nullptr;
    return &StockObjects[object];
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName) {
    LogCall("LoadIconA", {Arg(instance), Arg(iconName)});
    // Only the system's standard icon exists; a module has no icon resources here.
    if (instance == nullptr && reinterpret_cast<uintptr_t>(iconName) == StandardResource)
        return reinterpret_cast<HICON>(&ApplicationIcon);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    LogCall("LoadCursorA", {Arg(instance), Arg(cursorName)});
    if (instance == nullptr && reinterpret_cast<uintptr_t>(cursorName) == StandardResource)
        return reinterpret_cast<HCURSOR>(&ArrowCursor);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}
