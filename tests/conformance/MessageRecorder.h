// A window procedure for tests: records what it receives and answers a few messages in
// ways a test asks for. Written against the Win32 API alone.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct RecordedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Everything the recording procedure received since the last ClearRecording.
const std::vector<RecordedMessage>& Recording();
void ClearRecording();

// The recorded messages that are in the list, in order (other messages a system sends
// along, such as WM_GETICON or IME notifications, are left out).
std::vector<UINT> RecordedAmong(const std::vector<UINT>& interesting);

// Tracking sizes the recording procedure puts into WM_GETMINMAXINFO; 0 leaves the
// system's defaults.
void SetTrackingSize(int width, int height);

// Makes the recording procedure refuse creation at WM_NCCREATE (FALSE) or WM_CREATE
// (-1); 0 accepts.
void SetRefusal(UINT message);

// Wine's ntdll exports its version; Windows' does not, and the stand-in has no ntdll.
bool RunningOnWine();
// Wine's major version (10 for "10.0"), or 0 where RunningOnWine is false.
int WineMajorVersion();

// Registers a class with the recording procedure under a name unique to the test, and
// unregisters it (destroying its windows first) on destruction.
struct RecordingClass {
    explicit RecordingClass(const char* name);
    ~RecordingClass();
    const char* name;
    std::vector<HWND> windows;
    HWND Create(DWORD style, int x, int y, int width, int height);
};

// Hands every queued message to DispatchMessageA, up to WM_QUIT (not taken).
void DispatchQueued();

// The client origin as WM_MOVE reports it: signed 16-bit coordinates.
POINT MovePoint(LPARAM lParam);
