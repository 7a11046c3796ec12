// COM itself: its interface identifiers, and IUnknown's answers as the stand-in's objects
// share them.
#include "DirectDrawPrivate.h"

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

HRESULT AnswerQueryInterface(const char* name, REFIID iid, void** out,
                             std::initializer_list<InterfaceAnswer> answers) {
    if (out != nullptr)
        *out = nullptr;
    HRESULT failure;
    if (LoggedCallFails(name, {IidArg(iid), Arg(out)}, &failure))
        return failure;
    if (out == nullptr)
        return DDERR_INVALIDPARAMS;
    for (const InterfaceAnswer& answer : answers) {
        if (*answer.iid == iid) {
            ++*answer.refs;
            *out = answer.pointer;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

ULONG CountedAddRef(const char* name, ULONG& refs) {
    LogCall(name, {});
    return ++refs;
}
