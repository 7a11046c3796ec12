// Surfaces in memory: creation (the primary surface, with a flip chain when asked, and
// off-screen plain surfaces), reference counting, descriptions, locking, flipping,
// attachments and clippers. Blt is in SurfaceBlt.cpp.
#include "DirectDrawPrivate.h"

#include <algorithm>

namespace {

std::vector<Surface*> Surfaces;

// Surfaces live in video memory unless system memory is asked for.
constexpr DWORD VideoMemoryCaps = DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
constexpr DWORD MaxBackBuffers = 16;
constexpr DWORD MaxSurfaceSide = 16384;

Surface* NewSurface(DirectDrawObject* owner, DWORD caps, const DDPIXELFORMAT& format,
                    std::shared_ptr<PixelMemory> memory) {
    auto* surface = new Surface;
    surface->owner = owner;
    surface->caps = caps;
    surface->format = format;
    surface->memory = std::move(memory);
    Surfaces.push_back(surface);
    return surface;
}

void DestroyChain(Surface* root) {
    DirectDrawObject* owner = root->owner;
    const std::vector<Surface*> members = root->chain;
    for (Surface* member : members) {
        if (member->clipper != nullptr)
            DropClipper(member->clipper);
        Surfaces.erase(std::find(Surfaces.begin(), Surfaces.end(), member));
        delete member;
    }
    DropDirectDraw(owner);
}

// The surface a chain member has attached: the next one, the last back buffer leading
// back to the front buffer.
Surface* AttachedTo(Surface* surface) {
    const std::vector<Surface*>& chain = surface->root->chain;
    if (chain.size() < 2)
        return nullptr;
    const auto at = std::find(chain.begin(), chain.end(), surface) - chain.begin();
    return chain[static_cast<size_t>(at + 1) % chain.size()];
}

void Describe(const Surface& surface, DDSURFACEDESC2& desc) {
    desc = DDSURFACEDESC2{};
    desc.dwSize = sizeof(DDSURFACEDESC2);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    const std::vector<Surface*>& chain = surface.root->chain;
    if (chain.size() > 1) {
        desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = chain[0] == &surface ? static_cast<DWORD>(chain.size() - 1) : 0;
    }
    desc.dwWidth = surface.memory->width;
    desc.dwHeight = surface.memory->height;
    desc.lPitch = surface.memory->pitch;
    desc.ddpfPixelFormat = surface.format;
    desc.ddsCaps.dwCaps = surface.caps;
}

bool RectInside(const RECT& rect, const PixelMemory& memory) {
    return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
           rect.right <= static_cast<LONG>(memory.width) &&
           rect.bottom <= static_cast<LONG>(memory.height);
}

} // namespace

HRESULT CreateSurfaceObject(DirectDrawObject* owner, const DDSURFACEDESC2& desc,
                            IDirectDrawSurface4** out) {
    const DWORD caps = (desc.dwFlags & DDSD_CAPS) != 0 ? desc.ddsCaps.dwCaps : 0;
    const bool primary = (caps & DDSCAPS_PRIMARYSURFACE) != 0;
    const bool chainAsked = (caps & (DDSCAPS_FLIP | DDSCAPS_COMPLEX)) != 0 ||
                            (desc.dwFlags & DDSD_BACKBUFFERCOUNT) != 0;
    const bool chainComplete = (caps & DDSCAPS_FLIP) != 0 && (caps & DDSCAPS_COMPLEX) != 0 &&
                               (desc.dwFlags & DDSD_BACKBUFFERCOUNT) != 0 &&
                               desc.dwBackBufferCount > 0;
    if (chainAsked && !chainComplete)
        return DDERR_INVALIDCAPS;
    // The stand-in's flip chains are primary surfaces with a few back buffers.
    if (chainAsked && (!primary || desc.dwBackBufferCount > MaxBackBuffers))
        return DDERR_UNSUPPORTED;
    if (chainAsked && !HoldsExclusiveMode(owner))
        return DDERR_NOEXCLUSIVEMODE;

    const ScreenMode mode = CurrentScreenMode();
    const DDPIXELFORMAT format = PixelFormatOf(mode.bitsPerPixel, mode.redMask16);
    if (format.dwRGBBitCount == 0)
        return DDERR_INVALIDPIXELFORMAT;
    // Surfaces take the display's pixel format; the stand-in converts none.
    if ((desc.dwFlags & DDSD_PIXELFORMAT) != 0 && !SamePixelFormat(desc.ddpfPixelFormat, format))
        return DDERR_UNSUPPORTED;

    DWORD memoryCaps = (caps & DDSCAPS_SYSTEMMEMORY) != 0 ? 0 : VideoMemoryCaps;
    if (memoryCaps != 0 && CurrentDisplay().videoMemoryFull) {
        // Placed in video memory when asked; otherwise DirectDraw falls back to system memory.
        if ((caps & DDSCAPS_VIDEOMEMORY) != 0)
            return DDERR_OUTOFVIDEOMEMORY;
        memoryCaps = DDSCAPS_SYSTEMMEMORY;
    }
    Surface* root;
    if (primary) {
        // The primary surface is the screen: its size is the display mode's.
        if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != 0)
            return DDERR_INVALIDPARAMS;
        const DWORD frontCaps =
            caps | memoryCaps | DDSCAPS_VISIBLE | (chainAsked ? DDSCAPS_FRONTBUFFER : 0);
        root = NewSurface(owner, frontCaps, format, ScreenMemory());
        root->chain.push_back(root);
        const DWORD backCaps =
            (caps & ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_VISIBLE)) | memoryCaps | DDSCAPS_BACKBUFFER;
        for (DWORD i = 0; chainAsked && i < desc.dwBackBufferCount; ++i) {
            Surface* back = NewSurface(owner, backCaps, format,
                                       NewPixelMemory(root->memory->width, root->memory->height,
                                                      root->memory->bytesPerPixel));
            back->root = root;
            root->chain.push_back(back);
        }
    } else {
        if ((desc.dwFlags & DDSD_WIDTH) == 0 || (desc.dwFlags & DDSD_HEIGHT) == 0 ||
            desc.dwWidth == 0 || desc.dwHeight == 0 || desc.dwWidth > MaxSurfaceSide ||
            desc.dwHeight > MaxSurfaceSide)
            return DDERR_INVALIDPARAMS;
        root = NewSurface(owner, caps | memoryCaps, format,
                          NewPixelMemory(desc.dwWidth, desc.dwHeight, BytesPerPixel(format)));
        root->chain.push_back(root);
    }
    HoldDirectDraw(owner);
    *out = root;
    return DD_OK;
}

Surface* FindSurface(IDirectDrawSurface4* surface) {
    const auto found = std::find(Surfaces.begin(), Surfaces.end(), surface);
    return found == Surfaces.end() ? nullptr : *found;
}

void WarmSurfaces() {
    // A primary surface's memory is the screen, the screen layer's to read; in a window it
    // is the whole desktop, far more than the frame.
    for (const Surface* surface : Surfaces)
        if ((surface->caps & DDSCAPS_PRIMARYSURFACE) == 0)
            FetchIntoCaches(surface->memory->bytes.data(), surface->memory->bytes.size());
}

void DestroyAllSurfaces() {
    for (Surface* surface : Surfaces)
        delete surface;
    Surfaces.clear();
}

HRESULT Surface::QueryInterface(REFIID iid, void** out) {
    IDirectDrawSurface4* self = this;
    return AnswerQueryInterface(
        "IDirectDrawSurface4::QueryInterface", iid, out,
        {{&IID_IUnknown, self, &refs}, {&IID_IDirectDrawSurface4, self, &refs}});
}

ULONG Surface::AddRef() {
    return CountedAddRef("IDirectDrawSurface4::AddRef", refs);
}

// A back buffer belongs to its front buffer and goes with it, whatever its own count.
ULONG Surface::Release() {
    LogCall("IDirectDrawSurface4::Release", {});
    return CountDown(refs, [this] {
        if (root == this)
            DestroyChain(this);
    });
}

HRESULT Surface::Flip(LPDIRECTDRAWSURFACE4 targetOverride, DWORD flags) {
    const unsigned long long started = StartFrameCall();
    HRESULT failure;
    if (LoggedCallFails("IDirectDrawSurface4::Flip", {Arg(targetOverride), Arg(flags)}, &failure))
        return failure;
    if (root != this || chain.size() < 2)
        return DDERR_NOTFLIPPABLE;
    Surface* target = nullptr;
    if (targetOverride != nullptr) {
        target = FindSurface(targetOverride);
        if (target == nullptr || target == this || target->root != this)
            return DDERR_NOTFLIPPABLE;
    }
    if (!HoldsExclusiveMode(owner))
        return DDERR_NOEXCLUSIVEMODE;
    if (std::any_of(chain.begin(), chain.end(), [](const Surface* s) { return s->locked; }))
        return DDERR_SURFACEBUSY;
    if (target != nullptr) {
        std::swap(memory, target->memory);
    } else {
        // Each buffer takes the memory of the one behind it; the front's goes to the back.
        for (size_t i = 0; i + 1 < chain.size(); ++i)
            std::swap(chain[i]->memory, chain[i + 1]->memory);
    }
    ShowOnScreen(memory);
    CountFrameCall(FrameCall::Presentation, started);
    return DD_OK;
}

HRESULT Surface::GetAttachedSurface(LPDDSCAPS2 wanted, LPDIRECTDRAWSURFACE4* attached) {
    if (attached != nullptr)
        *attached = nullptr;
    HRESULT failure;
    if (LoggedCallFails("IDirectDrawSurface4::GetAttachedSurface", {Arg(wanted), Arg(attached)},
                        &failure))
        return failure;
    if (wanted == nullptr || attached == nullptr)
        return DDERR_INVALIDPARAMS;
    Surface* next = AttachedTo(this);
    if (next == nullptr || (next->caps & wanted->dwCaps) != wanted->dwCaps)
        return DDERR_NOTFOUND;
    ++next->refs;
    *attached = next;
    return DD_OK;
}

HRESULT Surface::GetClipper(LPDIRECTDRAWCLIPPER* out) {
    if (out != nullptr)
        *out = nullptr;
    HRESULT failure;
    if (LoggedCallFails("IDirectDrawSurface4::GetClipper", {Arg(out)}, &failure))
        return failure;
    if (out == nullptr)
        return DDERR_INVALIDPARAMS;
    if (clipper == nullptr)
        return DDERR_NOCLIPPERATTACHED;
    HoldClipper(clipper);
    *out = clipper;
    return DD_OK;
}

HRESULT Surface::GetPixelFormat(LPDDPIXELFORMAT out) {
    HRESULT failure;
    if (LoggedCallFails("IDirectDrawSurface4::GetPixelFormat", {Arg(out)}, &failure))
        return failure;
    if (out == nullptr)
        return DDERR_INVALIDPARAMS;
    *out = format;
    return DD_OK;
}

HRESULT Surface::GetSurfaceDesc(LPDDSURFACEDESC2 desc) {
    HRESULT failure;
    if (LoggedCallFails("IDirectDrawSurface4::GetSurfaceDesc", {Arg(desc)}, &failure))
        return failure;
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    Describe(*this, *desc);
    return DD_OK;
}

HRESULT Surface::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) {
    HRESULT failure;
    if (LoggedCallFails("IDirectDrawSurface4::Lock", {Arg(rect), Arg(desc), Arg(flags), Arg(event)},
                        &failure))
        return failure;
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    if (rect != nullptr && !RectInside(*rect, *memory))
        return DDERR_INVALIDPARAMS;
    if (locked)
        return DDERR_SURFACEBUSY;
    FinishBlits();
    locked = true;
    Describe(*this, *desc);
    const LONG left = rect != nullptr ? rect->left : 0;
    const LONG top = rect != nullptr ? rect->top : 0;
    desc->lpSurface = PixelRow(*memory, top) + static_cast<size_t>(left) * memory->bytesPerPixel;
    return DD_OK;
}

HRESULT Surface::SetClipper(LPDIRECTDRAWCLIPPER newClipper) {
    HRESULT failure;
    if (LoggedCallFails("IDirectDrawSurface4::SetClipper", {Arg(newClipper)}, &failure))
        return failure;
    if (newClipper != nullptr && !IsClipper(newClipper))
        return DDERR_INVALIDOBJECT;
    // The surface holds its own reference on the clipper it keeps.
    if (newClipper != nullptr)
        HoldClipper(newClipper);
    if (clipper != nullptr)
        DropClipper(clipper);
    clipper = newClipper;
    return DD_OK;
}

HRESULT Surface::Unlock(LPRECT rect) {
    HRESULT failure;
    if (LoggedCallFails("IDirectDrawSurface4::Unlock", {Arg(rect)}, &failure))
        return failure;
    if (!locked)
        return DDERR_NOTLOCKED;
    locked = false;
    // What was written into a locked primary surface is on the screen now.
    PixelsChanged(*memory,
                  RECT{0, 0, static_cast<LONG>(memory->width), static_cast<LONG>(memory->height)});
    return DD_OK;
}
