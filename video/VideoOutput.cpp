#include "VideoOutput.h"

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
