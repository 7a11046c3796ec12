// Linked into a program, this puts the stand-in on screen: its presentation and its
// message boxes go through SDL from start-up on.
#include "Screen.h"
#include "WindowManager.h"

namespace {

bool Install() {
    Presenter = Presentation{DescribeDesktop,    CanShowWindows, WindowChanged,     WindowDestroyed,
                             CursorCountChanged, ScreenChanged,  ScreenModeChanged, TakeInput,
                             WaitForInput,       WaitBegins,     EndOfWait};
    PresentMessageBox = ShowMessageBoxOnScreen;
    return true;
}

// Runs before main; the stand-in's own defaults are constants, set before any of this.
[[maybe_unused]] const bool Installed = Install();

} // namespace
