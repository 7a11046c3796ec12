// The video output library: the frame buffers, the output window, the DirectDraw device
// and the per-frame presentation. Module-level state and the operations on it.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

constexpr int FrameWidth = 320;
constexpr int FrameHeight = 200;
constexpr int FramePixels = FrameWidth * FrameHeight;
constexpr int FrameBytes = FramePixels * 4;

// State, all zero or null at program start.
extern uint32_t* FrameBuffer; // the frame the effect draws and the next update shows
extern uint32_t* SpareBuffer;
extern void (*UpdateScreen)();
extern HWND OutputWindow;
extern bool FullScreen;
extern uint32_t OutputWidth;
extern uint32_t OutputHeight;
extern uint8_t DisplayBpp;
extern IDirectDrawSurface4* PrimarySurface;
extern IDirectDrawSurface4* BackSurface;
extern IDirectDrawClipper* WindowClipper;
extern RECT SourceRect; // Blt source, client coordinates
extern RECT DestRect;   // Blt destination, screen coordinates
extern RECT WindowRect;
extern bool EscapePressed;
extern bool SpacePressed;
extern int32_t RowPadding;

// Operations the driver calls.
void InitVideoOutput(); // module initialisation: binds UpdateScreen
bool AllocateBuffers();
bool CheckReady();
bool OpenDisplay();
bool CloseDisplay();
bool ShutdownVideo();
void SwapBuffers();

// Inside the library.
void PresentAndPump();
void PumpMessages();
void InitDisplay(uint16_t width, uint16_t height, bool fullScreen);
void PresentFrame(const uint32_t* frame);
// Whether PresentFrame converts to a display of this depth: 15, 16, 24 and 32 bits.
bool CanPresentAt(int bitsPerPixel);
void CreateOutputWindow(uint32_t width, uint32_t height, bool fullScreen);
LRESULT CALLBACK OutputWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows "<call> FAILED" in a box owned by OutputWindow, then ends the program with
// FailureExitCode (finalisers run).
[[noreturn]] void ReportFailure(const char* message);
