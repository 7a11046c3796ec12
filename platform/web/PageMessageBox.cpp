// MessageBoxA in the page: a modal dialog over the page with the buttons the type asks
// for. The program waits in it (giving the browser its turn) until a button is clicked or
// a key answers (page.js: the keys of Windows' message box).
#include "Page.h"

#include <emscripten.h>

#include <cstdio>

// Shows the box; false for a type the stand-in does not offer.
EM_JS(int, PageShowBox, (const char* title, const char* text, int buttons),
      { return BumpPage.showBox(UTF8ToString(title), UTF8ToString(text), buttons) ? 1 : 0; });
// The answer once a button was clicked (the box is gone then), else 0.
EM_JS(int, PageBoxAnswer, (), { return BumpPage.boxAnswer(); });

int ShowMessageBoxInPage(HWND, const char* text, const char* caption, UINT type) {
    // Windows titles a box without a caption "Error".
    const char* title = caption != nullptr && caption[0] != '\0' ? caption : "Error";
    if (PageShowBox(title, text != nullptr ? text : "", static_cast<int>(type & MB_TYPEMASK)) ==
        0) {
        std::fprintf(stderr, "%s: %s\n", title, text != nullptr ? text : "");
        return 0;
    }
    int answer = 0;
    while ((answer = PageBoxAnswer()) == 0)
        WaitInPage(20);
    return answer;
}
