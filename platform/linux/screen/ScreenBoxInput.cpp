// The person's keys and mouse in the message box, as Windows' message box takes them:
// Return and Space press the focused button, Escape and the close button give the box's
// escape answer (MessageBoxButtonsOf), Tab, Shift+Tab and the arrow keys move the focus
// round the buttons, a button's letter presses it, and a click presses the button it went
// down and came up on.
#include "Screen.h"
#include "ScreenBox.h"

namespace {

// A pixel coordinate in 96-dpi units, rounded down (left of or above the box too).
int Units(int pixels, int scale) {
    return static_cast<int>(UnitsOfPixels(pixels, scale));
}

void MoveFocus(const MessageBoxLayout& layout, BoxState* state, int step) {
    const int count = static_cast<int>(layout.buttons.size());
    state->focus = ((state->focus + step) % count + count) % count;
}

int KeyAnswer(const MessageBoxLayout& layout, BoxState* state, const SDL_Keysym& key) {
    switch (key.sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_SPACE:
        return layout.buttons[state->focus].answer;
    case SDLK_ESCAPE:
        return layout.escapeAnswer;
    case SDLK_TAB:
        MoveFocus(layout, state, (key.mod & KMOD_SHIFT) != 0 ? -1 : 1);
        return 0;
    case SDLK_LEFT:
    case SDLK_UP:
        MoveFocus(layout, state, -1);
        return 0;
    case SDLK_RIGHT:
    case SDLK_DOWN:
        MoveFocus(layout, state, 1);
        return 0;
    default:
        break;
    }
    // A button's letter, as its mnemonic; with Alt too, not with Control.
    if ((key.mod & (KMOD_CTRL | KMOD_GUI)) != 0 || key.sym < 'a' || key.sym > 'z')
        return 0;
    for (const BoxButton& button : layout.buttons)
        if (button.key == key.sym)
            return button.answer;
    return 0;
}

} // namespace

int BoxAnswerForEvent(const MessageBoxLayout& layout, BoxState* state, const SDL_Event& event,
                      int scale) {
    if (layout.buttons.empty() || scale < 1)
        return 0;
    switch (event.type) {
    case SDL_KEYDOWN:
        return KeyAnswer(layout, state, event.key.keysym);
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT) {
            const int at =
                BoxButtonAt(layout, Units(event.button.x, scale), Units(event.button.y, scale));
            if (at >= 0) {
                state->focus = state->pressed = at;
                state->pressedUnder = true;
            }
        }
        return 0;
    case SDL_MOUSEMOTION:
        if (state->pressed >= 0)
            state->pressedUnder = BoxButtonAt(layout, Units(event.motion.x, scale),
                                              Units(event.motion.y, scale)) == state->pressed;
        return 0;
    case SDL_MOUSEBUTTONUP: {
        if (event.button.button != SDL_BUTTON_LEFT || state->pressed < 0)
            return 0;
        const int pressed = state->pressed;
        state->pressed = -1;
        state->pressedUnder = false;
        const int at =
            BoxButtonAt(layout, Units(event.button.x, scale), Units(event.button.y, scale));
        return at == pressed ? layout.buttons[pressed].answer : 0;
    }
    case SDL_WINDOWEVENT:
        return event.window.event == SDL_WINDOWEVENT_CLOSE ? layout.escapeAnswer : 0;
    default:
        return 0;
    }
}
