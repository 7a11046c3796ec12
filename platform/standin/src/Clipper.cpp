// The clipper: the window whose client area limits blits to the surface it is set on.
#include "DirectDrawPrivate.h"

#include <algorithm>

namespace {

struct Clipper final : IDirectDrawClipper {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetHWnd(HWND* window) override;
    HRESULT STDMETHODCALLTYPE SetHWnd(DWORD flags, HWND window) override;

    ULONG refs = 1;
    HWND window = nullptr;
};

std::vector<Clipper*> Clippers;

Clipper* Find(IDirectDrawClipper* clipper) {
    const auto found = std::find(Clippers.begin(), Clippers.end(), clipper);
    return found == Clippers.end() ? nullptr : *found;
}

ULONG Drop(Clipper* clipper) {
    return CountDown(clipper->refs, [clipper] {
        Clippers.erase(std::find(Clippers.begin(), Clippers.end(), clipper));
        delete clipper;
    });
}

HRESULT Clipper::QueryInterface(REFIID iid, void** out) {
    IDirectDrawClipper* self = this;
    return AnswerQueryInterface(
        "IDirectDrawClipper::QueryInterface", iid, out,
        {{&IID_IUnknown, self, &refs}, {&IID_IDirectDrawClipper, self, &refs}});
}

ULONG Clipper::AddRef() {
    return CountedAddRef("IDirectDrawClipper::AddRef", refs);
}

ULONG Clipper::Release() {
    LogCall("IDirectDrawClipper::Release", {});
    return Drop(this);
}

HRESULT Clipper::GetHWnd(HWND* out) {
    HRESULT failure;
    if (LoggedCallFails("IDirectDrawClipper::GetHWnd", {Arg(out)}, &failure))
        return failure;
    if (out == nullptr)
        return DDERR_INVALIDPARAMS;
    *out = window;
    return DD_OK;
}

// Any handle is taken as DirectDraw takes it; a window that does not exist fails the
// blits that would be clipped to it.
HRESULT Clipper::SetHWnd(DWORD flags, HWND newWindow) {
    HRESULT failure;
    if (LoggedCallFails("IDirectDrawClipper::SetHWnd", {Arg(flags), Arg(newWindow)}, &failure))
        return failure;
    if (flags != 0)
        return DDERR_INVALIDPARAMS;
    window = newWindow;
    return DD_OK;
}

} // namespace

HRESULT CreateClipperObject(IDirectDrawClipper** out, IUnknown* outer) {
    if (out == nullptr)
        return DDERR_INVALIDPARAMS;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    auto* clipper = new Clipper;
    Clippers.push_back(clipper);
    *out = clipper;
    return DD_OK;
}

// A surface's clipper released once too often by its user is gone: nothing to hold or drop.
void HoldClipper(IDirectDrawClipper* clipper) {
    if (Clipper* found = Find(clipper))
        ++found->refs;
}

void DropClipper(IDirectDrawClipper* clipper) {
    if (Clipper* found = Find(clipper))
        Drop(found);
}

bool IsClipper(IDirectDrawClipper* clipper) {
    return Find(clipper) != nullptr;
}

HWND ClipperWindow(IDirectDrawClipper* clipper) {
    const Clipper* found = Find(clipper);
    return found != nullptr ? found->window : nullptr;
}

void DestroyAllClippers() {
    for (Clipper* clipper : Clippers)
        delete clipper;
    Clippers.clear();
}
