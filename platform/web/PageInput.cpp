// Keys typed on the canvas, taken in whenever the program looks at its message queue:
// they become key messages for the window with the keyboard focus. The page's script
// gives Windows' virtual-key codes (the browser's keyCode is the same numbering).
#include "Page.h"

#include <emscripten.h>

// The next key of the canvas packed as (down << 16) | virtual key, or -1.
EM_JS(int, PageNextCanvasKey, (), { return BumpPage.nextCanvasKey(); });

namespace {

// Repeat count 1; a key release also has the previous-state and transition bits.
constexpr LPARAM KeyDownBits = 1;
constexpr LPARAM KeyUpBits = 1 | (1L << 30) | (1L << 31);

// Posts the waiting keys; false when there were none.
bool PostCanvasKeys() {
    bool any = false;
    for (int packed; (packed = PageNextCanvasKey()) >= 0;) {
        any = true;
        const HWND target = FocusedWindow();
        if (LookUpWindow(target) == nullptr)
            continue;
        const bool down = (packed >> 16) != 0;
        PostInput(target, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(packed & 0xFFFF),
                  down ? KeyDownBits : KeyUpBits);
    }
    return any;
}

} // namespace

void TakePageInput() {
    PostCanvasKeys();
}

bool WaitForPageInput() {
    // Only keys on the canvas can post a message; the page keeps its turn meanwhile.
    while (!PostCanvasKeys())
        WaitInPage(10);
    return true;
}
