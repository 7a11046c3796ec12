// A small console program that does, in the same way, everything the Wine harness has to
// drive in the demo: it asks a question in a message box, opens a top-level window, waits
// for a key typed into its console window and writes a line to its (redirected) output.
// Each way it ends has its own exit code, so the harness can see that the code comes back.
#include <windows.h>

#include <cstdio>

namespace {

constexpr char WindowTitle[] = "Harness check window";

LRESULT CALLBACK HarnessWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void WriteLine(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}

HWND OpenWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HarnessWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "HarnessCheckClass";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "HarnessCheckClass", WindowTitle, WS_OVERLAPPEDWINDOW, 100,
                                  100, 320, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window != nullptr) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
    }
    return window;
}

// True (and the key in virtualKey) when a key-down event is waiting in the console.
bool TakeConsoleKey(HANDLE input, WORD& virtualKey) {
    DWORD available = 0;
    while (GetNumberOfConsoleInputEvents(input, &available) && available > 0) {
        INPUT_RECORD record = {};
        DWORD read = 0;
        if (!ReadConsoleInputA(input, &record, 1, &read) || read == 0)
            return false;
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) {
            virtualKey = record.Event.KeyEvent.wVirtualKeyCode;
            return true;
        }
    }
    return false;
}

} // namespace

// Exit codes: 2 Cancel, 3 No, 4 window creation failed, 5 window closed, 6 console key,
// 1 nothing happened within a minute.
int main() {
    int answer = MessageBoxA(nullptr, "Open the window?", "Harness check", MB_YESNOCANCEL);
    std::printf("ANSWER %d\n", answer);
    std::fflush(stdout);
    if (answer == IDCANCEL)
        return 2;
    if (answer == IDNO)
        return 3;
    if (OpenWindow() == nullptr) {
        WriteLine("NO WINDOW");
        return 4;
    }
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 60000) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                WriteLine("CLOSED");
                return 5;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        WORD key = 0;
        if (TakeConsoleKey(input, key)) {
            std::printf("KEY %u\n", key);
            std::fflush(stdout);
            return 6;
        }
        Sleep(20);
    }
    WriteLine("TIMEOUT");
    return 1;
}
