#include "MessageRecorder.h"

#include <cstdlib>

namespace {

std::vector<RecordedMessage> Messages;
int TrackingWidth = 0;
int TrackingHeight = 0;
UINT Refusal = 0;

LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Messages.push_back(RecordedMessage{window, message, wParam, lParam});
    if (message == WM_GETMINMAXINFO && TrackingWidth != 0) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = POINT{TrackingWidth, TrackingHeight};
        info->ptMaxTrackSize = POINT{TrackingWidth, TrackingHeight};
    }
    if (message == Refusal)
        return message == WM_CREATE ? -1 : FALSE;
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

void SetRefusal(UINT message) {
    Refusal = message;
}

bool RunningOnWine() {
    return WineMajorVersion() != 0;
}

int WineMajorVersion() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    FARPROC found = ntdll != nullptr ? GetProcAddress(ntdll, "wine_get_version") : nullptr;
    if (found == nullptr)
        return 0;
    // Through void (*)(), the type GCC lets any function pointer be cast to unwarned.
    auto version = reinterpret_cast<const char* (*)()>(reinterpret_cast<void (*)()>(found));
    return std::atoi(version());
}

const std::vector<RecordedMessage>& Recording() {
    return Messages;
}

void ClearRecording() {
    Messages.clear();
}

std::vector<UINT> RecordedAmong(const std::vector<UINT>& interesting) {
    std::vector<UINT> result;
    for (const RecordedMessage& recorded : Messages)
        for (UINT message : interesting)
            if (recorded.message == message)
                result.push_back(message);
    return result;
}

void SetTrackingSize(int width, int height) {
    TrackingWidth = width;
    TrackingHeight = height;
}

RecordingClass::RecordingClass(const char* className) : name(className) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = RecordingProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    ClearRecording();
    SetTrackingSize(0, 0);
    SetRefusal(0);
}

RecordingClass::~RecordingClass() {
    for (HWND window : windows)
        if (IsWindow(window))
            DestroyWindow(window);
    UnregisterClassA(name, GetModuleHandleA(nullptr));
    // Leave no message behind for the next test.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    SetTrackingSize(0, 0);
}

HWND RecordingClass::Create(DWORD style, int x, int y, int width, int height) {
    HWND window = CreateWindowExA(0, name, "Test window", style, x, y, width, height, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window != nullptr)
        windows.push_back(window);
    return window;
}

void DispatchQueued() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
        GetMessageA(&msg, nullptr, 0, 0);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

POINT MovePoint(LPARAM lParam) {
    return POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
}
