// Names of window messages for StandInWindowMessages.
#include "WindowManager.h"

#include <cstdio>

std::string MessageName(UINT message) {
    switch (message) {
#define NAME(message)                                                                              \
    case message:                                                                                  \
        return #message;
        NAME(WM_NULL)
        NAME(WM_CREATE)
        NAME(WM_DESTROY)
        NAME(WM_MOVE)
        NAME(WM_SIZE)
        NAME(WM_ACTIVATE)
        NAME(WM_SETFOCUS)
        NAME(WM_KILLFOCUS)
        NAME(WM_PAINT)
        NAME(WM_CLOSE)
        NAME(WM_QUIT)
        NAME(WM_ERASEBKGND)
        NAME(WM_SHOWWINDOW)
        NAME(WM_ACTIVATEAPP)
        NAME(WM_SETCURSOR)
        NAME(WM_GETMINMAXINFO)
        NAME(WM_WINDOWPOSCHANGING)
        NAME(WM_WINDOWPOSCHANGED)
        NAME(WM_NCCREATE)
        NAME(WM_NCDESTROY)
        NAME(WM_NCCALCSIZE)
        NAME(WM_NCACTIVATE)
        NAME(WM_KEYDOWN)
        NAME(WM_KEYUP)
        NAME(WM_CHAR)
        NAME(WM_SYSKEYDOWN)
        NAME(WM_SYSKEYUP)
        NAME(WM_SYSCHAR)
#undef NAME
    default: {
        char text[8];
        std::snprintf(text, sizeof text, "0x%04X", message & 0xFFFFu);
        return text;
    }
    }
}
