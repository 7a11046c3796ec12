// Internals shared by the stand-in's DirectDraw: the DirectDraw object, its surfaces and
// clippers, surface memory and the screen.
#pragma once

#include "StandInPrivate.h"

#include <cstdint>
#include <memory>
#include <vector>

// --- Calls ---------------------------------------------------------------------------------
// Logs a call and tells whether StandInFailCall scripted it to fail now; *result is the
// HRESULT to return then (DDERR_GENERIC when the script gave none).
bool LoggedCallFails(const char* name, std::initializer_list<std::string> args, HRESULT* result);
// An interface identifier in the call log: its name when it is one of DirectDraw's.
std::string IidArg(REFIID iid);

// --- COM's IUnknown, as every object here has it (Com.cpp) -------------------------------------
// An interface QueryInterface hands out for an identifier, and the count of that interface.
struct InterfaceAnswer {
    const IID* iid;
    void* pointer;
    ULONG* refs;
};
// QueryInterface, logged under the name: a scripted failure, no out pointer, an identifier
// the object does not answer (E_NOINTERFACE), or the interface with one reference more.
HRESULT AnswerQueryInterface(const char* name, REFIID iid, void** out,
                             std::initializer_list<InterfaceAnswer> answers);
// AddRef, logged under the name.
ULONG CountedAddRef(const char* name, ULONG& refs);
// One reference less, never below zero; gone() runs when the last one goes. The count
// left is the result (Release's, once logged).
template <typename Gone> ULONG CountDown(ULONG& refs, Gone gone) {
    if (refs == 0)
        return 0;
    const ULONG left = --refs;
    if (left == 0)
        gone();
    return left;
}

// --- Pixels ----------------------------------------------------------------------------------
// The pixel format of a display depth (8, 15, 16, 24 or 32; a 16-bit mode takes its red
// mask); dwRGBBitCount is 0 for a depth DirectDraw has no format for.
DDPIXELFORMAT PixelFormatOf(int bitsPerPixel, DWORD redMask16);
inline DWORD BytesPerPixel(const DDPIXELFORMAT& format) {
    return BytesPerPixelOfDepth(static_cast<int>(format.dwRGBBitCount));
}
bool SamePixelFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b);

// The pixels of one surface: rows of width * bytesPerPixel bytes, each followed by the
// display's surface pitch padding filled with GuardByte. A flip chain swaps these.
constexpr uint8_t GuardByte = 0xA5;
struct PixelMemory {
    DWORD width;
    DWORD height;
    DWORD bytesPerPixel;
    LONG pitch;
    std::vector<uint8_t> bytes;
};
std::shared_ptr<PixelMemory> NewPixelMemory(DWORD width, DWORD height, DWORD bytesPerPixel);
inline uint8_t* PixelRow(PixelMemory& memory, LONG y) {
    return memory.bytes.data() + static_cast<size_t>(y) * static_cast<size_t>(memory.pitch);
}
inline const uint8_t* PixelRow(const PixelMemory& memory, LONG y) {
    return memory.bytes.data() + static_cast<size_t>(y) * static_cast<size_t>(memory.pitch);
}

// --- The screen ------------------------------------------------------------------------------
// The primary surface's memory for the current screen mode: what the screen shows. Every
// primary surface made in this mode shares it.
std::shared_ptr<PixelMemory> ScreenMemory();
// After a flip the screen shows the flip chain's new front buffer.
void ShowOnScreen(const std::shared_ptr<PixelMemory>& memory);
// Pixels of this memory changed in the area: when it is what the screen shows, the
// presentation hears of it.
void PixelsChanged(const PixelMemory& memory, const RECT& area);
void ResetScreen();

// --- Queued blits (SurfaceBlt.cpp) -------------------------------------------------------------
// Blt queues its copy and returns, as a display adapter does; the copy is carried out when
// pixels are next needed: before a Lock or a Blt, and before the screen is read (the
// presentation reads it while the program waits). The copy follows the memories, not the
// surfaces, so a Flip or a release in between changes nothing. Forgetting it is for a reset.
void FinishBlits();
void ForgetBlits();

// --- The DirectDraw object -------------------------------------------------------------------
struct DirectDrawObject;
IDirectDraw* NewDirectDraw();
// A reference the object's surfaces hold on its IDirectDraw4 interface (not logged).
void HoldDirectDraw(DirectDrawObject* object);
void DropDirectDraw(DirectDrawObject* object);
bool HoldsExclusiveMode(const DirectDrawObject* object);
void DestroyAllDirectDraws();

// --- Surfaces ---------------------------------------------------------------------------------
struct Surface final : IDirectDrawSurface4 {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Blt(LPRECT destRect, LPDIRECTDRAWSURFACE4 source, LPRECT sourceRect,
                                  DWORD flags, LPDDBLTFX effects) override;
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE4 targetOverride, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2 caps,
                                                 LPDIRECTDRAWSURFACE4* attached) override;
    HRESULT STDMETHODCALLTYPE GetClipper(LPDIRECTDRAWCLIPPER* clipper) override;
    HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT format) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2 desc) override;
    HRESULT STDMETHODCALLTYPE Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags,
                                   HANDLE event) override;
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER clipper) override;
    HRESULT STDMETHODCALLTYPE Unlock(LPRECT rect) override;

    ULONG refs = 1;
    DirectDrawObject* owner = nullptr; // the chain's root holds a reference on it
    Surface* root = this;              // a flip chain's front buffer owns its back buffers
    std::vector<Surface*> chain;       // root only: the front buffer, then the back buffers
    DWORD caps = 0;
    DDPIXELFORMAT format{};
    std::shared_ptr<PixelMemory> memory;
    IDirectDrawClipper* clipper = nullptr;
    bool locked = false;
};

// Validates a description that passed IDirectDraw4::CreateSurface's own checks and makes
// the surface (a flip chain's front buffer with its back buffers when asked).
HRESULT CreateSurfaceObject(DirectDrawObject* owner, const DDSURFACEDESC2& desc,
                            IDirectDrawSurface4** surface);
// The live surface behind an interface pointer, or NULL for one the stand-in never made.
Surface* FindSurface(IDirectDrawSurface4* surface);
void DestroyAllSurfaces();

// --- Clippers -------------------------------------------------------------------------------
// IDirectDraw4::CreateClipper and DirectDrawCreateClipper after their call is logged.
HRESULT CreateClipperObject(IDirectDrawClipper** clipper, IUnknown* outer);
// A reference a surface holds on its clipper (not logged).
void HoldClipper(IDirectDrawClipper* clipper);
void DropClipper(IDirectDrawClipper* clipper);
bool IsClipper(IDirectDrawClipper* clipper);
// The window a clipper clips to, or NULL when SetHWnd gave it none.
HWND ClipperWindow(IDirectDrawClipper* clipper);
void DestroyAllClippers();
