// MessageBoxA on screen: SDL's message box with the buttons the type asks for. On X11
// SDL shows the box from a child process of its own, so the program's state and its SDL
// windows are untouched while the person answers. On a screen whose box could not be
// read the question is asked on the terminal.
#include "Screen.h"
#include "StandInPrivate.h"

#include <cstdio>

namespace {

constexpr Uint32 ReturnKey = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
constexpr Uint32 EscapeKey = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;

Uint32 IconFlags(UINT type) {
    switch (type & 0xF0) {
    case 0x10: // MB_ICONHAND
        return SDL_MESSAGEBOX_ERROR;
    case 0x30: // MB_ICONEXCLAMATION
        return SDL_MESSAGEBOX_WARNING;
    case 0x20: // MB_ICONQUESTION
    case 0x40: // MB_ICONASTERISK
        return SDL_MESSAGEBOX_INFORMATION;
    default:
        return 0;
    }
}

// Caption and text on standard error, for a box that cannot be shown.
int WriteToStandardError(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", LayOutMessageBox(caption, MB_OK).title.c_str(),
                 text != nullptr ? text : "");
    std::fflush(stderr);
    return 0;
}

} // namespace

MessageBoxLayout LayOutMessageBox(const char* caption, UINT type) {
    MessageBoxLayout layout;
    // Windows titles a box without a caption "Error".
    layout.title = caption != nullptr && caption[0] != '\0' ? caption : "Error";
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        layout.buttons = {{ReturnKey | EscapeKey, IDOK, "OK"}};
        break;
    case MB_OKCANCEL:
        layout.buttons = {{ReturnKey, IDOK, "OK"}, {EscapeKey, IDCANCEL, "Cancel"}};
        break;
    case MB_YESNOCANCEL:
        layout.buttons = {
            {ReturnKey, IDYES, "Yes"}, {0, IDNO, "No"}, {EscapeKey, IDCANCEL, "Cancel"}};
        break;
    case MB_YESNO:
        layout.buttons = {{ReturnKey, IDYES, "Yes"}, {0, IDNO, "No"}};
        break;
    default:
        break;
    }
    return layout;
}

int AnswerForButton(UINT type, int buttonId) {
    if (buttonId >= 0)
        return buttonId;
    // Closed without a button: what Escape would have given, when the box has such a
    // button; a Yes/No box has none and the answer is 0, as from a failed box.
    for (const SDL_MessageBoxButtonData& button : LayOutMessageBox(nullptr, type).buttons)
        if ((button.flags & EscapeKey) != 0)
            return button.buttonid;
    return 0;
}

int ShowMessageBoxOnScreen(HWND owner, const char* text, const char* caption, UINT type) {
    const MessageBoxLayout layout = LayOutMessageBox(caption, type);
    if (layout.buttons.empty() || !DisplayAvailable())
        return WriteToStandardError(text, caption);
    // SDL's X11 box takes its colours' RGB values for pixel values: on a screen of
    // palette entries they pick arbitrary entries, and its texts cannot be read.
    if (ScreenHasPalette())
        return TerminalAvailable() ? PresentOnTerminal(owner, text, caption, type)
                                   : WriteToStandardError(text, caption);
    const SDL_MessageBoxData box{SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT | IconFlags(type),
                                 owner != nullptr ? SdlWindowOf(owner) : nullptr,
                                 layout.title.c_str(),
                                 text != nullptr ? text : "",
                                 static_cast<int>(layout.buttons.size()),
                                 layout.buttons.data(),
                                 nullptr};
    // The box waits for the person: the newest picture is shown behind it meanwhile.
    DrawPendingScreen();
    int buttonId = -1;
    const int shown = SDL_ShowMessageBox(&box, &buttonId);
    if (shown != 0) {
        // The box's process ends when the display goes: SDL's own connection then tells
        // whether that is why (and the program ends there).
        const std::string why = SDL_GetError();
        SDL_PumpEvents();
        // Nobody saw the question: the program cannot go on as if it had been answered.
        SDL_SetError("%s", why.c_str());
        EndUnseen("the message box \"" + layout.title + ": " + (text != nullptr ? text : "") +
                  "\"");
        return WriteToStandardError(text, caption);
    }
    return AnswerForButton(type, buttonId);
}
