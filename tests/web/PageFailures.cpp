// The test page's control: the address's "fail" parameter names a stand-in call that
// fails from its first call on, so that a failure path can be seen in the page.
#include "StandInPrivate.h"

#include <emscripten.h>

#include <string>

// The parameter's character at the index, 0 past its end. JavaScript that calls no
// library function links alike on every emscripten (newer ones link only the library
// functions that EM_JS code declares, older ones cannot declare them).
EM_JS(int, PageFailCharacter, (int index), {
    const name = new URLSearchParams(location.search).get("fail") || "";
    return index < name.length ? name.charCodeAt(index) : 0;
});

// Called by the page once the program's static data is set up, before main.
extern "C" EMSCRIPTEN_KEEPALIVE void ScriptPageFailure() {
    std::string name;
    for (int character; (character = PageFailCharacter(static_cast<int>(name.size()))) != 0;)
        name += static_cast<char>(character);
    if (!name.empty())
        StandInFailCall(name, DDERR_GENERIC);
}
