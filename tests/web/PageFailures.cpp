// The test page's control: the address's "fail" parameter names a stand-in call that
// fails from its first call on, so that a failure path can be seen in the page.
#include "StandInPrivate.h"

#include <emscripten.h>

#include <string>

// The parameter as text, empty without one; the caller frees it.
EM_JS(char*, PageFailParameter, (), {
    const name = new URLSearchParams(location.search).get("fail") || "";
    const size = lengthBytesUTF8(name) + 1;
    const text = _malloc(size);
    stringToUTF8(name, text, size);
    return text;
});

namespace {

bool ScriptFailure() {
    char* name = PageFailParameter();
    if (name[0] != '\0')
        StandInFailCall(name, DDERR_GENERIC);
    std::free(name);
    return true;
}

// Before main, so that the failure is in place before the program's first call.
[[maybe_unused]] const bool FailureScripted = ScriptFailure();

} // namespace
