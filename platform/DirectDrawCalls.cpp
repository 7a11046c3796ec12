#include "DirectDrawCalls.h"

// The structure sizes DirectDraw checks in dwSize.
static_assert(sizeof(DDSURFACEDESC2) == (sizeof(void*) == 4 ? 124 : 136), "DDSURFACEDESC2 layout");

HRESULT DirectDrawQueryInterface(IDirectDraw* dd, REFIID iid, void** object) {
    return dd->QueryInterface(iid, object);
}

HRESULT DirectDraw4SetCooperativeLevel(IDirectDraw4* dd, HWND window, DWORD flags) {
    return dd->SetCooperativeLevel(window, flags);
}

HRESULT DirectDraw4SetDisplayMode(IDirectDraw4* dd, DWORD width, DWORD height, DWORD bpp,
                                  DWORD refreshRate, DWORD flags) {
    return dd->SetDisplayMode(width, height, bpp, refreshRate, flags);
}

HRESULT DirectDraw4GetDisplayMode(IDirectDraw4* dd, DDSURFACEDESC2* desc) {
    return dd->GetDisplayMode(desc);
}

HRESULT DirectDraw4CreateSurface(IDirectDraw4* dd, DDSURFACEDESC2* desc,
                                 IDirectDrawSurface4** surface, IUnknown* outer) {
    return dd->CreateSurface(desc, surface, outer);
}

HRESULT DirectDraw4CreateClipper(IDirectDraw4* dd, DWORD flags, IDirectDrawClipper** clipper,
                                 IUnknown* outer) {
    return dd->CreateClipper(flags, clipper, outer);
}

HRESULT Surface4GetAttachedSurface(IDirectDrawSurface4* surface, DDSCAPS2* caps,
                                   IDirectDrawSurface4** attached) {
    return surface->GetAttachedSurface(caps, attached);
}

HRESULT Surface4SetClipper(IDirectDrawSurface4* surface, IDirectDrawClipper* clipper) {
    return surface->SetClipper(clipper);
}

HRESULT Surface4GetPixelFormat(IDirectDrawSurface4* surface, DDPIXELFORMAT* format) {
    return surface->GetPixelFormat(format);
}

HRESULT Surface4Lock(IDirectDrawSurface4* surface, RECT* rect, DDSURFACEDESC2* desc, DWORD flags,
                     HANDLE event) {
    return surface->Lock(rect, desc, flags, event);
}

HRESULT Surface4Unlock(IDirectDrawSurface4* surface, RECT* rect) {
    return surface->Unlock(rect);
}

HRESULT Surface4Flip(IDirectDrawSurface4* surface, IDirectDrawSurface4* targetOverride,
                     DWORD flags) {
    return surface->Flip(targetOverride, flags);
}

HRESULT Surface4Blt(IDirectDrawSurface4* surface, RECT* destRect, IDirectDrawSurface4* source,
                    RECT* sourceRect, DWORD flags, DDBLTFX* effects) {
    return surface->Blt(destRect, source, sourceRect, flags, effects);
}

HRESULT ClipperSetHWnd(IDirectDrawClipper* clipper, DWORD flags, HWND window) {
    return clipper->SetHWnd(flags, window);
}

ULONG ClipperRelease(IDirectDrawClipper* clipper) {
    return clipper->Release();
}
