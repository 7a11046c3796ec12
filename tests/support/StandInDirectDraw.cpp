#include "StandInDirectDraw.h"

#include <StandIn.h>

#include <gtest/gtest.h>

IDirectDraw4* NewDirectDraw4() {
    IDirectDraw* directDraw = nullptr;
    EXPECT_EQ(DirectDrawCreate(nullptr, &directDraw, nullptr), DD_OK);
    IDirectDraw4* directDraw4 = nullptr;
    EXPECT_EQ(directDraw->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&directDraw4)),
              DD_OK);
    directDraw->Release();
    return directDraw4;
}

IDirectDrawSurface4* NewSurface(IDirectDraw4* directDraw, DWORD flags, DWORD caps, DWORD width,
                                DWORD height) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.ddsCaps.dwCaps = caps;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.dwBackBufferCount = 1;
    IDirectDrawSurface4* surface = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
    return surface;
}
