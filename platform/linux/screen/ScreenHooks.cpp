// The layer in the stand-in's place: its presentation hooks and its message box presenter.
#include "Screen.h"

#include <StandInEdge.h>

void InstallScreenLayer() {
    PresentationLayer =
        PresentationHooks{DescribeDesktop,    CanShowWindows,    WindowChanged,     WindowDestroyed,
                          CursorCountChanged, ScreenChanged,     ScreenModeChanged, TakeInput,
                          WaitForInput,       DrawPendingScreen, EndOfWait};
    PresentMessageBox = ShowMessageBoxOnScreen;
}
