// Linked into the page's program, this puts the stand-in into the page: its presentation
// and its message boxes go through the page from start-up on.
#include "Page.h"

namespace {

bool Install() {
    PresentationLayer = PresentationHooks{DescribePageDesktop,
                                          CanShowPageWindows,
                                          PageWindowChanged,
                                          PageWindowDestroyed,
                                          PageCursorCountChanged,
                                          PageScreenChanged,
                                          PageScreenModeChanged,
                                          TakePageInput,
                                          WaitForPageInput,
                                          DrawPendingScreen,
                                          nullptr};
    PresentMessageBox = ShowMessageBoxInPage;
    return true;
}

// Runs before main; the stand-in's own defaults are constants, set before any of this.
[[maybe_unused]] const bool Installed = Install();

} // namespace
