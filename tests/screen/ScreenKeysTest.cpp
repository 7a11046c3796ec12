// The person's keys as Windows reports them: virtual-key codes and key messages.
#include "Screen.h"

#include <gtest/gtest.h>

namespace {

SDL_KeyboardEvent KeyEvent(Uint32 type, SDL_Keycode key, Uint16 modifiers = KMOD_NONE,
                           Uint8 repeat = 0) {
    SDL_KeyboardEvent event{};
    event.type = type;
    event.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.repeat = repeat;
    event.keysym.sym = key;
    event.keysym.mod = modifiers;
    return event;
}

TEST(ScreenKeys, VirtualKeyCodes) {
    const struct {
        const char* label;
        SDL_Keycode key;
        WORD expected;
    } cases[] = {
        {"a", SDLK_a, 'A'},
        {"z", SDLK_z, 'Z'},
        {"0", SDLK_0, '0'},
        {"9", SDLK_9, '9'},
        {"Space", SDLK_SPACE, VK_SPACE},
        {"Escape", SDLK_ESCAPE, VK_ESCAPE},
        {"Return", SDLK_RETURN, VK_RETURN},
        {"keypad Enter", SDLK_KP_ENTER, VK_RETURN},
        {"Left", SDLK_LEFT, VK_LEFT},
        {"Up", SDLK_UP, VK_UP},
        {"Right", SDLK_RIGHT, VK_RIGHT},
        {"Down", SDLK_DOWN, VK_DOWN},
        {"F1", SDLK_F1, VK_F1},
        {"F12", SDLK_F12, VK_F12},
        {"F13", SDLK_F13, 0x7C},
        {"F24", SDLK_F24, 0x87},
        {"left Shift", SDLK_LSHIFT, VK_SHIFT},
        {"right Shift", SDLK_RSHIFT, VK_SHIFT},
        {"left Ctrl", SDLK_LCTRL, VK_CONTROL},
        {"right Ctrl", SDLK_RCTRL, VK_CONTROL},
        {"left Alt", SDLK_LALT, VK_MENU},
        {"right Alt", SDLK_RALT, VK_MENU},
        {"Caps Lock", SDLK_CAPSLOCK, VK_CAPITAL},
        {"Page Up", SDLK_PAGEUP, VK_PRIOR},
        {"Page Down", SDLK_PAGEDOWN, VK_NEXT},
        {"a key Windows has no code for here", SDLK_AC_SEARCH, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(VirtualKeyOf(c.key), c.expected);
    }
}

TEST(ScreenKeys, KeyMessages) {
    const struct {
        const char* label;
        SDL_KeyboardEvent event;
        UINT message;
        WPARAM key;
        uint32_t lParam;
    } cases[] = {
        {"press", KeyEvent(SDL_KEYDOWN, SDLK_a), WM_KEYDOWN, 'A', 0x00000001},
        {"held down (repeat)", KeyEvent(SDL_KEYDOWN, SDLK_a, KMOD_NONE, 1), WM_KEYDOWN, 'A',
         0x40000001},
        {"release", KeyEvent(SDL_KEYUP, SDLK_ESCAPE), WM_KEYUP, VK_ESCAPE, 0xC0000001},
        {"Shift alone", KeyEvent(SDL_KEYDOWN, SDLK_LSHIFT, KMOD_LSHIFT), WM_KEYDOWN, VK_SHIFT,
         0x00000001},
        {"arrow: extended key", KeyEvent(SDL_KEYDOWN, SDLK_LEFT), WM_KEYDOWN, VK_LEFT, 0x01000001},
        {"Alt pressed", KeyEvent(SDL_KEYDOWN, SDLK_LALT, KMOD_LALT), WM_SYSKEYDOWN, VK_MENU,
         0x20000001},
        {"Alt released", KeyEvent(SDL_KEYUP, SDLK_LALT), WM_SYSKEYUP, VK_MENU, 0xC0000001},
        {"a letter with Alt held", KeyEvent(SDL_KEYDOWN, SDLK_f, KMOD_LALT), WM_SYSKEYDOWN, 'F',
         0x20000001},
        {"F10", KeyEvent(SDL_KEYDOWN, SDLK_F10), WM_SYSKEYDOWN, VK_F1 + 9, 0x00000001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        KeyMessage message{};
        ASSERT_TRUE(KeyMessageOf(c.event, &message));
        EXPECT_EQ(message.message, c.message);
        EXPECT_EQ(message.wParam, c.key);
        EXPECT_EQ(static_cast<uint32_t>(message.lParam), c.lParam);
    }
    KeyMessage unused{};
    EXPECT_FALSE(KeyMessageOf(KeyEvent(SDL_KEYDOWN, SDLK_AC_SEARCH), &unused));
}

} // namespace
