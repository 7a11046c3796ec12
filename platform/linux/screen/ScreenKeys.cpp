// The person's keys as Windows sees them: virtual-key codes and the key messages' lParam.
#include "Screen.h"

namespace {

// Keys whose Windows scan code carries the extended-key prefix (lParam bit 24).
bool IsExtendedKey(SDL_Keycode key) {
    switch (key) {
    case SDLK_UP:
    case SDLK_DOWN:
    case SDLK_LEFT:
    case SDLK_RIGHT:
    case SDLK_INSERT:
    case SDLK_DELETE:
    case SDLK_HOME:
    case SDLK_END:
    case SDLK_PAGEUP:
    case SDLK_PAGEDOWN:
    case SDLK_RCTRL:
    case SDLK_RALT:
    case SDLK_KP_ENTER:
        return true;
    default:
        return false;
    }
}

} // namespace

WORD VirtualKeyOf(SDL_Keycode key) {
    // Letters and digits: the virtual-key code is the upper-case character.
    if (key >= SDLK_a && key <= SDLK_z)
        return static_cast<WORD>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return static_cast<WORD>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return static_cast<WORD>(VK_F1 + (key - SDLK_F1));
    if (key >= SDLK_F13 && key <= SDLK_F24)
        return static_cast<WORD>(VK_F1 + 12 + (key - SDLK_F13));
    switch (key) {
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_END:
        return VK_END;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_PAUSE:
        return VK_PAUSE;
    // The key messages name the modifier, not its side (that is GetKeyState's business).
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_CAPSLOCK:
        return VK_CAPITAL;
    case SDLK_NUMLOCKCLEAR:
        return VK_NUMLOCK;
    case SDLK_SCROLLLOCK:
        return VK_SCROLL;
    default:
        return 0;
    }
}

bool KeyMessageOf(const SDL_KeyboardEvent& event, KeyMessage* message) {
    const WORD key = VirtualKeyOf(event.keysym.sym);
    if (key == 0)
        return false;
    const bool down = event.type == SDL_KEYDOWN;
    // With Alt held (or Alt itself) and for F10 Windows sends the system key messages.
    const bool system = (event.keysym.mod & KMOD_ALT) != 0 || key == VK_MENU || key == VK_F1 + 9;
    message->message =
        down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    message->wParam = key;
    // Repeat count 1; bit 24 extended key; bit 29 Alt held; bit 30 the key was down
    // before (a repeat, or any release); bit 31 a release.
    uint32_t lParam = 1;
    if (IsExtendedKey(event.keysym.sym))
        lParam |= 1u << 24;
    if ((event.keysym.mod & KMOD_ALT) != 0 || (key == VK_MENU && down))
        lParam |= 1u << 29;
    if (!down || event.repeat != 0)
        lParam |= 1u << 30;
    if (!down)
        lParam |= 1u << 31;
    message->lParam = static_cast<LPARAM>(lParam);
    return true;
}
