// The DirectDraw subset this program uses, for Linux: the public names, constants,
// structure layouts and COM interfaces of ddraw.h, implemented by the stand-in's
// built-in "DDraw.dll" in platform/standin. Interfaces list only the methods used here.
#pragma once

#include <windows.h>

struct IDirectDraw;
struct IDirectDraw4;
struct IDirectDrawSurface4;
struct IDirectDrawClipper;
struct IDirectDrawPalette;
typedef IDirectDraw* LPDIRECTDRAW;
typedef IDirectDraw4* LPDIRECTDRAW4;
typedef IDirectDrawSurface4* LPDIRECTDRAWSURFACE4;
typedef IDirectDrawClipper* LPDIRECTDRAWCLIPPER;

extern const IID IID_IDirectDraw;
extern const IID IID_IDirectDraw4;
extern const IID IID_IDirectDrawSurface4;
extern const IID IID_IDirectDrawClipper;

// Result codes: MAKE_HRESULT(1, 0x876, code).
#define MAKE_DDHRESULT(code) ((HRESULT)(0x88760000UL | (code)))
#define DD_OK S_OK
#define DDERR_ALREADYINITIALIZED MAKE_DDHRESULT(5)
#define DDERR_GENERIC E_FAIL
#define DDERR_INVALIDOBJECT MAKE_DDHRESULT(130)
#define DDERR_INVALIDPARAMS E_INVALIDARG
#define DDERR_INVALIDPIXELFORMAT MAKE_DDHRESULT(145)
#define DDERR_INVALIDRECT MAKE_DDHRESULT(150)
#define DDERR_INVALIDCAPS MAKE_DDHRESULT(100)
#define DDERR_INVALIDMODE MAKE_DDHRESULT(120)
#define DDERR_NOCLIPLIST MAKE_DDHRESULT(205)
#define DDERR_NOCLIPPERATTACHED MAKE_DDHRESULT(568)
#define DDERR_NOEXCLUSIVEMODE MAKE_DDHRESULT(225)
#define DDERR_NOTFLIPPABLE MAKE_DDHRESULT(582)
#define DDERR_NOTFOUND MAKE_DDHRESULT(255)
#define DDERR_NOTLOCKED MAKE_DDHRESULT(584)
#define DDERR_OUTOFMEMORY E_OUTOFMEMORY
#define DDERR_OUTOFVIDEOMEMORY MAKE_DDHRESULT(380)
#define DDERR_SURFACEBUSY MAKE_DDHRESULT(430)
#define DDERR_SURFACELOST MAKE_DDHRESULT(450)
#define DDERR_UNSUPPORTED E_NOTIMPL
#define DDERR_UNSUPPORTEDMODE MAKE_DDHRESULT(590)
#define DDERR_WASSTILLDRAWING MAKE_DDHRESULT(540)
#define DDERR_EXCLUSIVEMODEALREADYSET MAKE_DDHRESULT(581)
#define DDERR_NOCOOPERATIVELEVELSET MAKE_DDHRESULT(212)
#define DDERR_HWNDALREADYSET MAKE_DDHRESULT(571)
#define DDERR_CANTCREATEDC MAKE_DDHRESULT(585)
#define DDERR_NOBLTHW MAKE_DDHRESULT(575)
#define DDERR_INVALIDDIRECTDRAWGUID MAKE_DDHRESULT(561)

// Cooperative levels.
#define DDSCL_FULLSCREEN 0x00000001L
#define DDSCL_ALLOWREBOOT 0x00000002L
#define DDSCL_NOWINDOWCHANGES 0x00000004L
#define DDSCL_NORMAL 0x00000008L
#define DDSCL_EXCLUSIVE 0x00000010L

// Surface description flags.
#define DDSD_CAPS 0x00000001L
#define DDSD_HEIGHT 0x00000002L
#define DDSD_WIDTH 0x00000004L
#define DDSD_PITCH 0x00000008L
#define DDSD_BACKBUFFERCOUNT 0x00000020L
#define DDSD_LPSURFACE 0x00000800L
#define DDSD_PIXELFORMAT 0x00001000L
#define DDSD_REFRESHRATE 0x00040000L

// Surface capabilities.
#define DDSCAPS_BACKBUFFER 0x00000004L
#define DDSCAPS_COMPLEX 0x00000008L
#define DDSCAPS_FLIP 0x00000010L
#define DDSCAPS_FRONTBUFFER 0x00000020L
#define DDSCAPS_OFFSCREENPLAIN 0x00000040L
#define DDSCAPS_PRIMARYSURFACE 0x00000200L
#define DDSCAPS_SYSTEMMEMORY 0x00000800L
#define DDSCAPS_VIDEOMEMORY 0x00004000L
#define DDSCAPS_VISIBLE 0x00008000L
#define DDSCAPS_LOCALVIDMEM 0x10000000L

// Pixel format flags.
#define DDPF_PALETTEINDEXED8 0x00000020L
#define DDPF_RGB 0x00000040L

// DirectDrawCreate's driver choices besides a GUID.
#define DDCREATE_HARDWAREONLY 0x00000001L
#define DDCREATE_EMULATIONONLY 0x00000002L

// Lock, Flip and Blt flags.
#define DDLOCK_SURFACEMEMORYPTR 0x00000000L
#define DDLOCK_WAIT 0x00000001L
#define DDLOCK_READONLY 0x00000010L
#define DDLOCK_WRITEONLY 0x00000020L
#define DDFLIP_WAIT 0x00000001L
#define DDBLT_ASYNC 0x00000200L
#define DDBLT_WAIT 0x01000000L
#define DDBLT_DONOTWAIT 0x08000000L

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    union {
        DWORD dwRGBBitCount;
        DWORD dwYUVBitCount;
        DWORD dwZBufferBitDepth;
        DWORD dwAlphaBitDepth;
    };
    union {
        DWORD dwRBitMask;
        DWORD dwYBitMask;
    };
    union {
        DWORD dwGBitMask;
        DWORD dwUBitMask;
    };
    union {
        DWORD dwBBitMask;
        DWORD dwVBitMask;
    };
    union {
        DWORD dwRGBAlphaBitMask;
        DWORD dwYUVAlphaBitMask;
    };
};
typedef DDPIXELFORMAT* LPDDPIXELFORMAT;

struct DDSCAPS2 {
    DWORD dwCaps;
    DWORD dwCaps2;
    DWORD dwCaps3;
    union {
        DWORD dwCaps4;
        DWORD dwVolumeDepth;
    };
};
typedef DDSCAPS2* LPDDSCAPS2;

struct DDSURFACEDESC2 {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    union {
        LONG lPitch;
        DWORD dwLinearSize;
    };
    union {
        DWORD dwBackBufferCount;
        DWORD dwDepth;
    };
    union {
        DWORD dwMipMapCount;
        DWORD dwRefreshRate;
        DWORD dwSrcVBHandle;
    };
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    LPVOID lpSurface;
    union {
        DDCOLORKEY ddckCKDestOverlay;
        DWORD dwEmptyFaceColor;
    };
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    union {
        DDPIXELFORMAT ddpfPixelFormat;
        DWORD dwFVF;
    };
    DDSCAPS2 ddsCaps;
    DWORD dwTextureStage;
};
typedef DDSURFACEDESC2* LPDDSURFACEDESC2;

static_assert(sizeof(DDPIXELFORMAT) == 32, "DDPIXELFORMAT layout");
static_assert(sizeof(DDSURFACEDESC2) == (sizeof(void*) == 4 ? 124 : 136), "DDSURFACEDESC2 layout");

struct DDBLTFX; // never passed by this program: Blt is called without effects
typedef DDBLTFX* LPDDBLTFX;

struct IDirectDraw : IUnknown {};

struct IDirectDraw4 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper,
                                                    IUnknown* outer) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 desc,
                                                    LPDIRECTDRAWSURFACE4* surface,
                                                    IUnknown* outer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC2 desc) = 0;
    virtual HRESULT STDMETHODCALLTYPE RestoreDisplayMode() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bpp,
                                                     DWORD refreshRate, DWORD flags) = 0;
};

struct IDirectDrawSurface4 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Blt(LPRECT destRect, LPDIRECTDRAWSURFACE4 source,
                                          LPRECT sourceRect, DWORD flags, LPDDBLTFX effects) = 0;
    virtual HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE4 targetOverride, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2 caps,
                                                         LPDIRECTDRAWSURFACE4* attached) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClipper(LPDIRECTDRAWCLIPPER* clipper) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT format) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2 desc) = 0;
    virtual HRESULT STDMETHODCALLTYPE Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags,
                                           HANDLE event) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER clipper) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unlock(LPRECT rect) = 0;
};

struct IDirectDrawClipper : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetHWnd(HWND* window) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetHWnd(DWORD flags, HWND window) = 0;
};

// Entry points of "DDraw.dll". They are reached through GetProcAddress, never linked.
typedef BOOL(CALLBACK* LPDDENUMCALLBACKA)(GUID*, LPSTR, LPSTR, LPVOID);
typedef BOOL(CALLBACK* LPDDENUMCALLBACKW)(GUID*, WCHAR*, WCHAR*, LPVOID);
typedef BOOL(CALLBACK* LPDDENUMCALLBACKEXA)(GUID*, LPSTR, LPSTR, LPVOID, void*);
typedef BOOL(CALLBACK* LPDDENUMCALLBACKEXW)(GUID*, WCHAR*, WCHAR*, LPVOID, void*);

HRESULT WINAPI DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, LPVOID context);
HRESULT WINAPI DirectDrawEnumerateW(LPDDENUMCALLBACKW callback, LPVOID context);
HRESULT WINAPI DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback, LPVOID context, DWORD flags);
HRESULT WINAPI DirectDrawEnumerateExW(LPDDENUMCALLBACKEXW callback, LPVOID context, DWORD flags);
HRESULT WINAPI DirectDrawCreate(GUID* guid, LPDIRECTDRAW* directDraw, IUnknown* outer);
HRESULT WINAPI DirectDrawCreateEx(GUID* guid, LPVOID* directDraw, REFIID iid, IUnknown* outer);
HRESULT WINAPI DirectDrawCreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer);
