// The DirectDraw methods the program uses, one forwarding function each: the interface
// first, then the method's arguments in ddraw.h order; the result comes back unchanged.
#pragma once

#include <windows.h>
#include <ddraw.h>

HRESULT DirectDrawQueryInterface(IDirectDraw* dd, REFIID iid, void** object);

HRESULT DirectDraw4SetCooperativeLevel(IDirectDraw4* dd, HWND window, DWORD flags);
HRESULT DirectDraw4SetDisplayMode(IDirectDraw4* dd, DWORD width, DWORD height, DWORD bpp,
                                  DWORD refreshRate, DWORD flags);
HRESULT DirectDraw4GetDisplayMode(IDirectDraw4* dd, DDSURFACEDESC2* desc);
HRESULT DirectDraw4CreateSurface(IDirectDraw4* dd, DDSURFACEDESC2* desc,
                                 IDirectDrawSurface4** surface, IUnknown* outer);
HRESULT DirectDraw4CreateClipper(IDirectDraw4* dd, DWORD flags, IDirectDrawClipper** clipper,
                                 IUnknown* outer);

HRESULT Surface4GetAttachedSurface(IDirectDrawSurface4* surface, DDSCAPS2* caps,
                                   IDirectDrawSurface4** attached);
HRESULT Surface4SetClipper(IDirectDrawSurface4* surface, IDirectDrawClipper* clipper);
HRESULT Surface4GetPixelFormat(IDirectDrawSurface4* surface, DDPIXELFORMAT* format);
HRESULT Surface4Lock(IDirectDrawSurface4* surface, RECT* rect, DDSURFACEDESC2* desc, DWORD flags,
                     HANDLE event);
HRESULT Surface4Unlock(IDirectDrawSurface4* surface, RECT* rect);
HRESULT Surface4Flip(IDirectDrawSurface4* surface, IDirectDrawSurface4* targetOverride,
                     DWORD flags);
HRESULT Surface4Blt(IDirectDrawSurface4* surface, RECT* destRect, IDirectDrawSurface4* source,
                    RECT* sourceRect, DWORD flags, DDBLTFX* effects);

HRESULT ClipperSetHWnd(IDirectDrawClipper* clipper, DWORD flags, HWND window);
ULONG ClipperRelease(IDirectDrawClipper* clipper);
