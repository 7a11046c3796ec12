#include "VideoOutput.h"

#include "Heap.h"
#include "Termination.h"

#include <utility>

uint32_t* FrameBuffer = nullptr;
uint32_t* SpareBuffer = nullptr;
void (*UpdateScreen)() = nullptr;
HWND OutputWindow = nullptr;
bool FullScreen = false;
uint32_t OutputWidth = 0;
uint32_t OutputHeight = 0;
uint8_t DisplayBpp = 0;
IDirectDrawSurface4* PrimarySurface = nullptr;
IDirectDrawSurface4* BackSurface = nullptr;
IDirectDrawClipper* WindowClipper = nullptr;
RECT SourceRect = {};
RECT DestRect = {};
RECT WindowRect = {};
bool EscapePressed = false;
bool SpacePressed = false;
int32_t RowPadding = 0;

void InitVideoOutput() {
    UpdateScreen = PresentAndPump;
}

bool AllocateBuffers() {
    // A buffer that exists already is kept, so a second call allocates nothing.
    if (FrameBuffer == nullptr)
        FrameBuffer = static_cast<uint32_t*>(AllocateMemory(FrameBytes));
    if (SpareBuffer == nullptr)
        SpareBuffer = static_cast<uint32_t*>(AllocateMemory(FrameBytes));
    return true;
}

bool CheckReady() {
    return true;
}

bool OpenDisplay() {
    int answer = MessageBoxA(nullptr, "Fullscreen?", "Do you want...", MB_YESNOCANCEL);
    // Cancel, Escape and the close button all answer IDCANCEL; a failed box (0) runs windowed.
    if (answer == IDCANCEL)
        EndProgram();
    InitDisplay(FrameWidth, FrameHeight, answer == IDYES);
    return true;
}

void PresentAndPump() {
    PresentFrame(FrameBuffer);
    PumpMessages();
}

void PumpMessages() {
    MSG message = {};
    // Peek first so that an empty queue never blocks in GetMessageA.
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (GetMessageA(&message, nullptr, 0, 0) == 0)
            EndProgram(); // WM_QUIT: the output window has been closed
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void SwapBuffers() {
    std::swap(FrameBuffer, SpareBuffer);
}

bool CloseDisplay() {
    return false;
}

bool ShutdownVideo() {
    return true;
}
