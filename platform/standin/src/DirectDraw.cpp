// The DirectDraw object: its IDirectDraw and IDirectDraw4 interfaces, each with its own
// reference count as in DirectDraw, over one state: cooperative level, display mode,
// and the creation of surfaces and clippers.
#include "DirectDrawPrivate.h"

#include <algorithm>
#include <iterator>

namespace {

struct DirectDraw1 final : IDirectDraw {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    DirectDrawObject* object;
    ULONG refs;
};

struct DirectDraw4 final : IDirectDraw4 {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper,
                                            IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface,
                                            IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC2 desc) override;
    HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bpp,
                                             DWORD refreshRate, DWORD flags) override;

    DirectDrawObject* object;
    ULONG refs;
};

} // namespace

struct DirectDrawObject {
    DirectDraw1 v1;
    DirectDraw4 v4;
    DWORD cooperativeLevel = 0;
    bool modeChanged = false; // restored when the object goes or leaves exclusive mode
};

namespace {

std::vector<DirectDrawObject*> Objects;
// The object in exclusive mode: only it may change the display mode.
DirectDrawObject* ExclusiveOwner = nullptr;

constexpr DWORD RefreshRate = 60;

void Destroy(DirectDrawObject* object) {
    if (ExclusiveOwner == object)
        ExclusiveOwner = nullptr;
    if (object->modeChanged)
        RestoreScreenMode();
    Objects.erase(std::find(Objects.begin(), Objects.end(), object));
    delete object;
}

// The object goes with the last reference to either of its interfaces.
ULONG ReleaseInterface(DirectDrawObject* object, ULONG& refs) {
    return CountDown(refs, [object] {
        if (object->v1.refs == 0 && object->v4.refs == 0)
            Destroy(object);
    });
}

// QueryInterface of either interface, logged under the interface's name.
HRESULT QueryDirectDraw(const char* name, DirectDrawObject* object, REFIID iid, void** out) {
    IDirectDraw* v1 = &object->v1;
    IDirectDraw4* v4 = &object->v4;
    return AnswerQueryInterface(name, iid, out,
                                {{&IID_IUnknown, v1, &object->v1.refs},
                                 {&IID_IDirectDraw, v1, &object->v1.refs},
                                 {&IID_IDirectDraw4, v4, &object->v4.refs}});
}

// Display modes offered: the usual VGA and SVGA sizes and the desktop's, at the depths
// the display description accepts.
bool ModeOffered(DWORD width, DWORD height, DWORD bpp) {
    static const struct {
        DWORD width;
        DWORD height;
    } sizes[] = {{320, 200}, {320, 240},  {400, 300},  {512, 384},  {640, 400},   {640, 480},
                 {800, 600}, {1024, 768}, {1152, 864}, {1280, 960}, {1280, 1024}, {1600, 1200}};
    const StandInDisplay& display = CurrentDisplay();
    const bool depthOffered =
        (bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32) &&
        std::find(display.fullScreenDepths.begin(), display.fullScreenDepths.end(),
                  static_cast<int>(bpp)) != display.fullScreenDepths.end();
    if (!depthOffered)
        return false;
    if (static_cast<int>(width) == display.desktopWidth &&
        static_cast<int>(height) == display.desktopHeight)
        return true;
    return std::any_of(std::begin(sizes), std::end(sizes), [&](const auto& size) {
        return size.width == width && size.height == height;
    });
}

HRESULT DirectDraw1::QueryInterface(REFIID iid, void** out) {
    return QueryDirectDraw("IDirectDraw::QueryInterface", object, iid, out);
}

ULONG DirectDraw1::AddRef() {
    return CountedAddRef("IDirectDraw::AddRef", refs);
}

ULONG DirectDraw1::Release() {
    LogCall("IDirectDraw::Release", {});
    return ReleaseInterface(object, refs);
}

HRESULT DirectDraw4::QueryInterface(REFIID iid, void** out) {
    return QueryDirectDraw("IDirectDraw4::QueryInterface", object, iid, out);
}

ULONG DirectDraw4::AddRef() {
    return CountedAddRef("IDirectDraw4::AddRef", refs);
}

ULONG DirectDraw4::Release() {
    LogCall("IDirectDraw4::Release", {});
    return ReleaseInterface(object, refs);
}

HRESULT DirectDraw4::CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) {
    if (clipper != nullptr)
        *clipper = nullptr;
    HRESULT failure;
    if (LoggedCallFails("IDirectDraw4::CreateClipper", {Arg(flags), Arg(clipper), Arg(outer)},
                        &failure))
        return failure;
    return CreateClipperObject(clipper, outer);
}

HRESULT DirectDraw4::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface,
                                   IUnknown* outer) {
    if (surface != nullptr)
        *surface = nullptr;
    HRESULT failure;
    if (LoggedCallFails("IDirectDraw4::CreateSurface", {Arg(desc), Arg(surface), Arg(outer)},
                        &failure))
        return failure;
    if (desc == nullptr || surface == nullptr || desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    if (object->cooperativeLevel == 0)
        return DDERR_NOCOOPERATIVELEVELSET;
    return CreateSurfaceObject(object, *desc, surface);
}

HRESULT DirectDraw4::GetDisplayMode(LPDDSURFACEDESC2 desc) {
    HRESULT failure;
    if (LoggedCallFails("IDirectDraw4::GetDisplayMode", {Arg(desc)}, &failure))
        return failure;
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    const ScreenMode mode = CurrentScreenMode();
    *desc = DDSURFACEDESC2{};
    desc->dwSize = sizeof(DDSURFACEDESC2);
    desc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
    desc->dwWidth = static_cast<DWORD>(mode.width);
    desc->dwHeight = static_cast<DWORD>(mode.height);
    desc->ddpfPixelFormat = PixelFormatOf(mode.bitsPerPixel, mode.redMask16);
    desc->lPitch = static_cast<LONG>(desc->dwWidth * BytesPerPixel(desc->ddpfPixelFormat));
    desc->dwRefreshRate = RefreshRate;
    return DD_OK;
}

HRESULT DirectDraw4::RestoreDisplayMode() {
    HRESULT failure;
    if (LoggedCallFails("IDirectDraw4::RestoreDisplayMode", {}, &failure))
        return failure;
    if (ExclusiveOwner != nullptr && ExclusiveOwner != object)
        return DDERR_NOEXCLUSIVEMODE;
    RestoreScreenMode();
    object->modeChanged = false;
    return DD_OK;
}

HRESULT DirectDraw4::SetCooperativeLevel(HWND window, DWORD flags) {
    HRESULT failure;
    if (LoggedCallFails("IDirectDraw4::SetCooperativeLevel", {Arg(window), Arg(flags)}, &failure))
        return failure;
    const bool normal = (flags & DDSCL_NORMAL) != 0;
    const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    const bool fullScreen = (flags & DDSCL_FULLSCREEN) != 0;
    // Exclusive mode is full screen and needs the application's window; DDSCL_NORMAL
    // beside it is tolerated, and DDSCL_FULLSCREEN beside DDSCL_NORMAL is ignored.
    if (!normal && !exclusive)
        return DDERR_INVALIDPARAMS;
    if (exclusive && (!fullScreen || window == nullptr))
        return DDERR_INVALIDPARAMS;
    if (exclusive) {
        ExclusiveOwner = object;
    } else if (ExclusiveOwner == object) {
        // Leaving exclusive mode gives the desktop its mode back.
        ExclusiveOwner = nullptr;
        if (object->modeChanged)
            RestoreScreenMode();
        object->modeChanged = false;
    }
    object->cooperativeLevel = flags;
    return DD_OK;
}

HRESULT DirectDraw4::SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refreshRate,
                                    DWORD flags) {
    HRESULT failure;
    if (LoggedCallFails("IDirectDraw4::SetDisplayMode",
                        {Arg(width), Arg(height), Arg(bpp), Arg(refreshRate), Arg(flags)},
                        &failure))
        return failure;
    if (ExclusiveOwner != nullptr && ExclusiveOwner != object)
        return DDERR_NOEXCLUSIVEMODE;
    // DirectDraw answers a zero size with success and leaves the mode as it is.
    if (width == 0 || height == 0)
        return DD_OK;
    if (!ModeOffered(width, height, bpp))
        return DDERR_UNSUPPORTED;
    SetScreenMode(ScreenMode{static_cast<int>(width), static_cast<int>(height),
                             static_cast<int>(bpp), CurrentDisplay().fullScreenRedMask16});
    object->modeChanged = true;
    return DD_OK;
}

} // namespace

IDirectDraw* NewDirectDraw() {
    auto* object = new DirectDrawObject{};
    object->v1.object = object;
    object->v1.refs = 1;
    object->v4.object = object;
    object->v4.refs = 0;
    Objects.push_back(object);
    return &object->v1;
}

void HoldDirectDraw(DirectDrawObject* object) {
    ++object->v4.refs;
}

void DropDirectDraw(DirectDrawObject* object) {
    ReleaseInterface(object, object->v4.refs);
}

bool HoldsExclusiveMode(const DirectDrawObject* object) {
    return ExclusiveOwner == object;
}

void DestroyAllDirectDraws() {
    for (DirectDrawObject* object : Objects)
        delete object;
    Objects.clear();
    ExclusiveOwner = nullptr;
}
