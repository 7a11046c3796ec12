// Support for the DirectDraw conformance tests: "DDraw.dll" loaded at run time as the
// program loads it, a window to cooperate with, and a DirectDraw object in normal mode.
// Written against the Win32 and DirectDraw API alone, for Windows (Wine) and the stand-in.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <gtest/gtest.h>

#include "MessageRecorder.h" // RunningOnWine

#include <cstdint>
#include <vector>

typedef HRESULT(WINAPI* DirectDrawCreateFunction)(GUID*, LPDIRECTDRAW*, IUnknown*);

DDSURFACEDESC2 EmptyDescription(); // zeroed, dwSize set
DDSURFACEDESC2 OffscreenDescription(DWORD width, DWORD height);
DDSURFACEDESC2 PrimaryDescription();
DDSURFACEDESC2 FlipChainDescription(DWORD backBuffers);

// A surface's pixels as rows of width * bytes per pixel, read and written through Lock.
std::vector<uint8_t> ReadPixels(IDirectDrawSurface4* surface);
void WritePixels(IDirectDrawSurface4* surface, const std::vector<uint8_t>& pixels);
DWORD BytesPerPixelOf(IDirectDrawSurface4* surface);
// A pattern in which no two pixel positions of a surface this size look alike.
std::vector<uint8_t> PatternPixels(DWORD width, DWORD height, DWORD bytesPerPixel, uint8_t seed);

// The interface's reference count, read by an AddRef and Release pair.
ULONG ReferenceCount(IUnknown* object);

class DirectDrawTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A new DirectDraw object's IDirectDraw4, the IDirectDraw already released.
    IDirectDraw4* NewDirectDraw4();
    IDirectDrawSurface4* CreateSurface(DDSURFACEDESC2 desc);

    HMODULE Library = nullptr;
    DirectDrawCreateFunction Create = nullptr;
    HWND Window = nullptr;
    IDirectDraw4* DirectDraw = nullptr; // in normal mode, released to zero at the end
};
