// The output window: a borderless popup over the display in full screen, a captioned
// fixed-size window centred on the desktop otherwise, and its window procedure.
#include "OutputWindow.h"
#include "VideoOutput.h"

namespace {

// Pins the window's outer size. The vertical allowance takes the menu-bar height for the
// caption; where the caption is taller the client area comes out shorter.
void PinTrackingSize(MINMAXINFO* limits) {
    limits->ptMinTrackSize.x = static_cast<LONG>(OutputWidth) + 2 * GetSystemMetrics(SM_CXFRAME);
    limits->ptMinTrackSize.y = static_cast<LONG>(OutputHeight) + 2 * GetSystemMetrics(SM_CYFRAME) +
                               GetSystemMetrics(SM_CYMENU);
    limits->ptMaxTrackSize = limits->ptMinTrackSize;
}

} // namespace

void MeasureClientArea() {
    GetClientRect(OutputWindow, &SourceRect);
    GetClientRect(OutputWindow, &DestRect);
    POINT topLeft = {DestRect.left, DestRect.top};
    POINT bottomRight = {DestRect.right, DestRect.bottom};
    ClientToScreen(OutputWindow, &topLeft);
    ClientToScreen(OutputWindow, &bottomRight);
    DestRect = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void CreateOutputWindow(uint32_t width, uint32_t height, bool fullScreen) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);

    WNDCLASSA windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = OutputWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = "Window name";
    windowClass.lpszClassName = "wndclass";
    RegisterClassA(&windowClass); // a class left over from before serves as well

    DWORD style = WS_POPUP | WS_VISIBLE;
    int x = 0;
    int y = 0;
    if (!fullScreen) {
        // Centred; a screen smaller than the window gives a negative position.
        style = WS_CAPTION | WS_THICKFRAME;
        x = (GetSystemMetrics(SM_CXSCREEN) - static_cast<int>(width)) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - static_cast<int>(height)) / 2;
    }
    OutputWindow = CreateWindowExA(0, "wndclass", "Vortane DirectDraw Handler", style, x, y,
                                   static_cast<int>(width), static_cast<int>(height), nullptr,
                                   nullptr, instance, nullptr);
    if (OutputWindow == nullptr)
        ReportFailure("CreateWindowEx FAILED"); // no window, so the box has no owner

    ShowWindow(OutputWindow, SW_SHOW);
    UpdateWindow(OutputWindow);
    SetFocus(OutputWindow);
    if (fullScreen)
        ShowCursor(FALSE);
}

LRESULT CALLBACK OutputWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_MOVE:
        // Measures the stored window; during creation there is none yet.
        if (OutputWindow != nullptr) {
            GetWindowRect(OutputWindow, &WindowRect);
            MeasureClientArea();
        }
        break;
    case WM_GETMINMAXINFO:
        PinTrackingSize(reinterpret_cast<MINMAXINFO*>(lParam));
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            EscapePressed = true;
            PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        if (wParam == VK_SPACE)
            SpacePressed = true;
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
