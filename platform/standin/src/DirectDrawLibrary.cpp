// The built-in "DDraw.dll": its exports, DirectDraw's interface identifiers and the reset
// of all DirectDraw state.
//
// The library registers itself from a static initialiser in this file. Nothing calls the
// exports by name, so the linker takes this file from the static library only because it
// also defines the identifiers the program asks QueryInterface for and ResetDirectDraw,
// which StandInReset calls.
#include "DirectDrawPrivate.h"

#include <cstdio>
#include <cstring>

const IID IID_IDirectDraw = {
    0x6C14DB80, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
const IID IID_IDirectDraw4 = {
    0x9C59509A, 0x39BD, 0x11D1, {0x8C, 0x4A, 0x00, 0xC0, 0x4F, 0xD9, 0x30, 0xC5}};
const IID IID_IDirectDrawSurface4 = {
    0x0B2B8630, 0xAD35, 0x11D0, {0x8E, 0xA6, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
const IID IID_IDirectDrawClipper = {
    0x6C14DB85, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

bool LoggedCallFails(const char* name, std::initializer_list<std::string> args, HRESULT* result) {
    LONG_PTR scripted = 0;
    if (!LoggedCallFails(name, args, &scripted))
        return false;
    *result = scripted == 0 ? DDERR_GENERIC : static_cast<HRESULT>(scripted);
    return true;
}

std::string IidArg(REFIID iid) {
    static const struct {
        const IID* iid;
        const char* name;
    } known[] = {{&IID_IUnknown, "IID_IUnknown"},
                 {&IID_IDirectDraw, "IID_IDirectDraw"},
                 {&IID_IDirectDraw4, "IID_IDirectDraw4"},
                 {&IID_IDirectDrawSurface4, "IID_IDirectDrawSurface4"},
                 {&IID_IDirectDrawClipper, "IID_IDirectDrawClipper"}};
    for (const auto& entry : known)
        if (*entry.iid == iid)
            return entry.name;
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(iid.Data1), iid.Data2, iid.Data3, iid.Data4[0],
                  iid.Data4[1], iid.Data4[2], iid.Data4[3], iid.Data4[4], iid.Data4[5],
                  iid.Data4[6], iid.Data4[7]);
    return text;
}

HRESULT WINAPI DirectDrawCreate(GUID* guid, LPDIRECTDRAW* directDraw, IUnknown* outer) {
    if (directDraw != nullptr)
        *directDraw = nullptr;
    HRESULT failure;
    if (LoggedCallFails("DirectDrawCreate", {Arg(guid), Arg(directDraw), Arg(outer)}, &failure))
        return failure;
    if (directDraw == nullptr)
        return DDERR_INVALIDPARAMS;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    // One display driver: the default (no GUID) or the two driver choices all name it.
    const auto choice = reinterpret_cast<uintptr_t>(guid);
    if (guid != nullptr && choice != DDCREATE_HARDWAREONLY && choice != DDCREATE_EMULATIONONLY)
        return DDERR_INVALIDDIRECTDRAWGUID;
    *directDraw = NewDirectDraw();
    return DD_OK;
}

HRESULT WINAPI DirectDrawCreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) {
    if (clipper != nullptr)
        *clipper = nullptr;
    HRESULT failure;
    if (LoggedCallFails("DirectDrawCreateClipper", {Arg(flags), Arg(clipper), Arg(outer)},
                        &failure))
        return failure;
    return CreateClipperObject(clipper, outer);
}

// The program never enumerates drivers nor asks for IDirectDraw7.
HRESULT WINAPI DirectDrawCreateEx(GUID* guid, LPVOID* directDraw, REFIID iid, IUnknown* outer) {
    LogCall("DirectDrawCreateEx", {Arg(guid), Arg(directDraw), IidArg(iid), Arg(outer)});
    if (directDraw != nullptr)
        *directDraw = nullptr;
    return DDERR_UNSUPPORTED;
}

HRESULT WINAPI DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, LPVOID context) {
    LogCall("DirectDrawEnumerateA", {Arg(reinterpret_cast<void*>(callback)), Arg(context)});
    return DDERR_UNSUPPORTED;
}

HRESULT WINAPI DirectDrawEnumerateW(LPDDENUMCALLBACKW callback, LPVOID context) {
    LogCall("DirectDrawEnumerateW", {Arg(reinterpret_cast<void*>(callback)), Arg(context)});
    return DDERR_UNSUPPORTED;
}

HRESULT WINAPI DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback, LPVOID context, DWORD flags) {
    LogCall("DirectDrawEnumerateExA",
            {Arg(reinterpret_cast<void*>(callback)), Arg(context), Arg(flags)});
    return DDERR_UNSUPPORTED;
}

HRESULT WINAPI DirectDrawEnumerateExW(LPDDENUMCALLBACKEXW callback, LPVOID context, DWORD flags) {
    LogCall("DirectDrawEnumerateExW",
            {Arg(reinterpret_cast<void*>(callback)), Arg(context), Arg(flags)});
    return DDERR_UNSUPPORTED;
}

void ResetDirectDraw() {
    DestroyAllSurfaces();
    DestroyAllClippers();
    DestroyAllDirectDraws();
    ResetScreen();
}

namespace {

// An entry point as GetProcAddress hands it out; void (*)() converts to any function type.
template <typename Function> FARPROC AsExport(Function* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

FARPROC ResolveExport(const char* exportName) {
    static const struct {
        const char* name;
        FARPROC address;
    } exports[] = {
        {"DirectDrawCreate", AsExport(&DirectDrawCreate)},
        {"DirectDrawCreateClipper", AsExport(&DirectDrawCreateClipper)},
        {"DirectDrawCreateEx", AsExport(&DirectDrawCreateEx)},
        {"DirectDrawEnumerateA", AsExport(&DirectDrawEnumerateA)},
        {"DirectDrawEnumerateExA", AsExport(&DirectDrawEnumerateExA)},
        {"DirectDrawEnumerateExW", AsExport(&DirectDrawEnumerateExW)},
        {"DirectDrawEnumerateW", AsExport(&DirectDrawEnumerateW)},
    };
    // Export names match exactly, letter case included, as GetProcAddress does.
    for (const auto& entry : exports)
        if (std::strcmp(entry.name, exportName) == 0)
            return entry.address;
    return nullptr;
}

[[maybe_unused]] const bool Registered = (RegisterBuiltinLibrary("DDraw.dll", ResolveExport), true);

} // namespace
