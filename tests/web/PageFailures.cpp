// The test page's control: the address's "fail" parameter names a stand-in call that
// fails from its first call on, so that a failure path can be seen in the page.
#include "StandInPrivate.h"

#include <emscripten.h>

#include <cstdlib>

// The parameter as text, empty without one; the caller frees it.
EM_JS(char*, PageFailParameter, (), {
    const name = new URLSearchParams(location.search).get("fail") || "";
    const size = lengthBytesUTF8(name) + 1;
    const text = _malloc(size);
    stringToUTF8(name, text, size);
    return text;
});

// Called by the page once the program's static data is set up, before main.
extern "C" EMSCRIPTEN_KEEPALIVE void ScriptPageFailure() {
    char* name = PageFailParameter();
    if (name[0] != '\0')
        StandInFailCall(name, DDERR_GENERIC);
    std::free(name);
}
