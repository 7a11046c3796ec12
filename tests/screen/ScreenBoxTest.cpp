// The message box's own parts, without a display: the buttons and places of each
// MessageBoxA type as a Windows box has them at 96 dpi, the answers of keys and clicks
// (at the desktop's scale too), and what the painted picture shows.
#include "BoxEvents.h"
#include "ScreenBox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string Buttons(const MessageBoxLayout& layout) {
    std::string text;
    for (const BoxButton& button : layout.buttons) {
        text += button.text;
        text += '=';
        text += std::to_string(button.answer);
        text += ' ';
    }
    text += "Escape=";
    text += std::to_string(layout.escapeAnswer);
    return text;
}

TEST(ScreenBoxLayout, ButtonsAndTitleByType) {
    const struct {
        const char* label;
        UINT type;
        const char* buttons;
    } cases[] = {
        {"MB_OK: Escape is OK", MB_OK, "OK=1 Escape=1"},
        {"MB_OKCANCEL", MB_OKCANCEL, "OK=1 Cancel=2 Escape=2"},
        {"MB_YESNOCANCEL", MB_YESNOCANCEL, "Yes=6 No=7 Cancel=2 Escape=2"},
        {"MB_YESNO: no way out by Escape", MB_YESNO, "Yes=6 No=7 Escape=0"},
        {"icon bits leave the buttons alone", MB_YESNOCANCEL | 0x20 /* MB_ICONQUESTION */,
         "Yes=6 No=7 Cancel=2 Escape=2"},
        {"MB_ABORTRETRYIGNORE, which the stand-in does not offer", 2, "Escape=0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(Buttons(LayOutMessageBox("Text", "Caption", c.type)), c.buttons);
    }
    SCOPED_TRACE("titles: the caption, else Windows' default");
    EXPECT_EQ(LayOutMessageBox("", "Do you want...", MB_OK).title, "Do you want...");
    EXPECT_EQ(LayOutMessageBox("", nullptr, MB_OK).title, "Error");
    EXPECT_EQ(LayOutMessageBox("", "", MB_OK).title, "Error");
}

// Every line in the box with its margin, the buttons 75 x 23 on one row at the bottom,
// evenly spaced and centred, below the text; one line of text above the box's middle and
// the buttons below it (where the end-to-end cases look for them).
void CheckPlaces(const MessageBoxLayout& layout) {
    ASSERT_FALSE(layout.buttons.empty());
    const BoxRect first = layout.buttons.front().place, last = layout.buttons.back().place;
    EXPECT_GE(first.x, layout.textX) << "the buttons keep the side margin";
    EXPECT_LE(std::abs(first.x - (layout.width - (last.x + last.width))), 1) << "centred";
    EXPECT_EQ(layout.height - (first.y + first.height), 14) << "the bottom margin";
    for (size_t i = 0; i < layout.buttons.size(); ++i) {
        const BoxRect place = layout.buttons[i].place;
        EXPECT_EQ(place.width, 75);
        EXPECT_EQ(place.height, 23);
        EXPECT_EQ(place.y, first.y);
        if (i > 0) {
            EXPECT_EQ(place.x, layout.buttons[i - 1].place.x + 75 + 6) << "button " << i;
        }
    }
    for (const std::string& line : layout.lines)
        EXPECT_LE(layout.textX + static_cast<int>(line.size()) * BoxFontWidth,
                  layout.width - layout.textX)
            << line;
    const int textBottom = layout.textY + static_cast<int>(layout.lines.size()) * BoxFontHeight;
    EXPECT_LT(textBottom, first.y);
    if (layout.lines.size() == 1) {
        EXPECT_LE(textBottom, layout.height / 2);
        EXPECT_GE(first.y, layout.height / 2);
    }
}

TEST(ScreenBoxLayout, PlacesAsAWindowsBoxAt96Dpi) {
    {
        SCOPED_TRACE("the question: as wide as its three buttons need");
        const MessageBoxLayout layout =
            LayOutMessageBox("Fullscreen?", "Do you want...", MB_YESNOCANCEL);
        CheckPlaces(layout);
        EXPECT_EQ(layout.width, 3 * 75 + 2 * 6 + 2 * layout.textX);
        EXPECT_EQ(layout.lines, std::vector<std::string>{"Fullscreen?"});
        // Near SDL's own box for the question at 96 dpi (283 x 100).
        EXPECT_GE(layout.width, 250);
        EXPECT_LE(layout.width, 300);
        EXPECT_GE(layout.height, 80);
        EXPECT_LE(layout.height, 110);
    }
    {
        SCOPED_TRACE("a failure box: one OK in the middle, room for the title");
        const MessageBoxLayout layout = LayOutMessageBox("Lock FAILED", nullptr, MB_OK);
        CheckPlaces(layout);
        EXPECT_GE(layout.width, 150);
    }
    {
        SCOPED_TRACE("line ends (CR LF, LF, CR); lines over 80 characters broken at the last "
                     "space that fits (which goes), else inside the word");
        const std::string text = "one\r\ntwo\nthree\r" + std::string(70, 'x') + " " +
                                 std::string(20, 'y') + " " + std::string(100, 'z');
        const MessageBoxLayout layout = LayOutMessageBox(text.c_str(), nullptr, MB_OK);
        CheckPlaces(layout);
        EXPECT_EQ(layout.lines,
                  (std::vector<std::string>{"one", "two", "three", std::string(70, 'x'),
                                            std::string(20, 'y'), std::string(80, 'z'),
                                            std::string(20, 'z')}));
        EXPECT_EQ(layout.width, 80 * BoxFontWidth + 2 * layout.textX) << "as wide as the text";
    }
    // 1080 x 1920 pixels at 200 %: 540 units high, 960 wide; 35 lines of text fit.
    {
        SCOPED_TRACE("taller than the screen: broken into longer lines, up to the widest");
        std::string text;
        for (int word = 0; word < 50; ++word)
            text += std::string(70, static_cast<char>('a' + word % 26)) + " ";
        const MessageBoxLayout layout = LayOutMessageBox(text.c_str(), nullptr, MB_OK, 960, 540);
        CheckPlaces(layout);
        EXPECT_EQ(layout.lines.size(), 25u) << "two words a line";
        EXPECT_LE(layout.width, 960);
        EXPECT_LE(layout.height, 540);
    }
    {
        SCOPED_TRACE("lines that longer ones cannot hold: what does not fit cut, and marked");
        std::string text;
        for (int line = 0; line < 50; ++line)
            text += "line " + std::to_string(line) + "\n";
        const MessageBoxLayout layout = LayOutMessageBox(text.c_str(), nullptr, MB_OK, 960, 540);
        CheckPlaces(layout);
        ASSERT_EQ(layout.lines.size(), 35u);
        EXPECT_EQ(layout.lines.back(), "line 34...");
        EXPECT_LE(layout.height, 540);
        EXPECT_EQ(LayOutMessageBox(text.c_str(), nullptr, MB_OK).lines.size(), 51u)
            << "no limit given: all of it";
    }
}

// The answer of the first event that gives one, 0 for none.
int AnswerOf(UINT type, const std::vector<SDL_Event>& events, int scale = 1,
             BoxState* state = nullptr) {
    const MessageBoxLayout layout = LayOutMessageBox("Fullscreen?", "Do you want...", type);
    BoxState own;
    BoxState* used = state != nullptr ? state : &own;
    for (const SDL_Event& event : events)
        if (const int answer = BoxAnswerForEvent(layout, used, event, scale))
            return answer;
    return 0;
}

TEST(ScreenBoxInput, Keys) {
    const struct {
        const char* label;
        UINT type;
        std::vector<SDL_Event> keys;
        int answer;
    } cases[] = {
        {"Return: the default, the first button", MB_YESNOCANCEL, {KeyPress(SDLK_RETURN)}, IDYES},
        {"Tab, Space: the second",
         MB_YESNOCANCEL,
         {KeyPress(SDLK_TAB), KeyPress(SDLK_SPACE)},
         IDNO},
        {"Tab past the last wraps to the first",
         MB_YESNOCANCEL,
         {KeyPress(SDLK_TAB), KeyPress(SDLK_TAB), KeyPress(SDLK_TAB), KeyPress(SDLK_RETURN)},
         IDYES},
        {"Shift+Tab from the first wraps to the last",
         MB_YESNOCANCEL,
         {KeyPress(SDLK_TAB, KMOD_LSHIFT), KeyPress(SDLK_RETURN)},
         IDCANCEL},
        {"arrows: Right, Down, Left",
         MB_YESNOCANCEL,
         {KeyPress(SDLK_RIGHT), KeyPress(SDLK_DOWN), KeyPress(SDLK_LEFT), KeyPress(SDLK_RETURN)},
         IDNO},
        {"Escape: a lone OK", MB_OK, {KeyPress(SDLK_ESCAPE)}, IDOK},
        {"Escape: nothing in a Yes/No box", MB_YESNO, {KeyPress(SDLK_ESCAPE)}, 0},
        {"the close button as Escape", MB_OKCANCEL, {WindowEvent(SDL_WINDOWEVENT_CLOSE)}, IDCANCEL},
        {"the close button does nothing in a Yes/No box",
         MB_YESNO,
         {WindowEvent(SDL_WINDOWEVENT_CLOSE)},
         0},
        {"first letters", MB_YESNOCANCEL, {KeyPress(SDLK_n)}, IDNO},
        {"with Alt too", MB_YESNOCANCEL, {KeyPress(SDLK_c, KMOD_LALT)}, IDCANCEL},
        {"not with Control", MB_YESNOCANCEL, {KeyPress(SDLK_n, KMOD_LCTRL)}, 0},
        {"a letter no button has", MB_YESNOCANCEL, {KeyPress(SDLK_o), KeyPress(SDLK_x)}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(AnswerOf(c.type, c.keys), c.answer);
    }
}

TEST(ScreenBoxInput, MouseAtEachScale) {
    const MessageBoxLayout layout =
        LayOutMessageBox("Fullscreen?", "Do you want...", MB_YESNOCANCEL);
    const BoxRect no = layout.buttons[1].place, yes = layout.buttons[0].place;
    for (const int k : {1, 2}) {
        SCOPED_TRACE("scale " + std::to_string(k));
        // Pixels of the window at that scale: a button's first and last pixel.
        const int noLeft = no.x * k, noRight = (no.x + no.width) * k - 1;
        const int noMiddle = (no.y + no.height / 2) * k;
        {
            SCOPED_TRACE("press and release on No: No, from edge to edge");
            EXPECT_EQ(AnswerOf(MB_YESNOCANCEL,
                               {MouseButton(SDL_MOUSEBUTTONDOWN, noLeft, noMiddle),
                                MouseButton(SDL_MOUSEBUTTONUP, noRight, noMiddle)},
                               k),
                      IDNO);
        }
        {
            SCOPED_TRACE("just beside the button, in the gap: nothing");
            EXPECT_EQ(AnswerOf(MB_YESNOCANCEL,
                               {MouseButton(SDL_MOUSEBUTTONDOWN, noRight + 1, noMiddle),
                                MouseButton(SDL_MOUSEBUTTONUP, noRight + 1, noMiddle)},
                               k),
                      0);
        }
        {
            SCOPED_TRACE("pressed on No, let go on Yes: no answer; No has the focus, and "
                         "shows pushed in only while the pointer is over it");
            BoxState state;
            EXPECT_EQ(AnswerOf(MB_YESNOCANCEL, {MouseButton(SDL_MOUSEBUTTONDOWN, noLeft, noMiddle)},
                               k, &state),
                      0);
            EXPECT_EQ(state.focus, 1);
            EXPECT_TRUE(state.pressedUnder);
            AnswerOf(MB_YESNOCANCEL, {MouseMotion(yes.x * k, noMiddle)}, k, &state);
            EXPECT_FALSE(state.pressedUnder);
            EXPECT_EQ(AnswerOf(MB_YESNOCANCEL,
                               {MouseButton(SDL_MOUSEBUTTONUP, yes.x * k, noMiddle)}, k, &state),
                      0);
            EXPECT_EQ(state.pressed, -1);
            EXPECT_EQ(AnswerOf(MB_YESNOCANCEL, {KeyPress(SDLK_RETURN)}, k, &state), IDNO)
                << "Return presses the button the click focused";
        }
    }
}

int InkIn(const MessageBoxLayout& layout, const std::vector<uint32_t>& pixels, const BoxRect& r) {
    int ink = 0;
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            ink += pixels[static_cast<size_t>(y) * layout.width + x] == 0x000000;
    return ink;
}

TEST(ScreenBoxPaint, WhatThePictureShows) {
    const MessageBoxLayout layout =
        LayOutMessageBox("Fullscreen?", "Do you want...", MB_YESNOCANCEL);
    const std::vector<uint32_t> picture = PaintMessageBox(layout, BoxState{});
    ASSERT_EQ(picture.size(), static_cast<size_t>(layout.width) * layout.height);
    {
        SCOPED_TRACE("the text in black in the upper part");
        const BoxRect text{layout.textX, layout.textY, 11 * BoxFontWidth, BoxFontHeight};
        EXPECT_GT(InkIn(layout, picture, text), 30);
        EXPECT_EQ(InkIn(layout, picture, BoxRect{0, 0, layout.width, layout.textY}), 0);
    }
    {
        SCOPED_TRACE("the focus mark moves with the focus; the other buttons stay");
        BoxState second;
        second.focus = 1;
        const std::vector<uint32_t> moved = PaintMessageBox(layout, second);
        EXPECT_GT(InkIn(layout, picture, layout.buttons[0].place),
                  InkIn(layout, moved, layout.buttons[0].place));
        EXPECT_GT(InkIn(layout, moved, layout.buttons[1].place),
                  InkIn(layout, picture, layout.buttons[1].place));
        EXPECT_EQ(InkIn(layout, picture, layout.buttons[2].place),
                  InkIn(layout, moved, layout.buttons[2].place));
    }
    {
        SCOPED_TRACE("a button held down shows pushed in");
        BoxState held;
        held.focus = held.pressed = 0;
        held.pressedUnder = true;
        EXPECT_NE(PaintMessageBox(layout, held), picture);
        held.pressedUnder = false;
        EXPECT_EQ(PaintMessageBox(layout, held), picture) << "not while the pointer is away";
    }
    {
        SCOPED_TRACE("characters outside ASCII 32..126 are drawn as '?'");
        const MessageBoxLayout odd = LayOutMessageBox("a\xE9\x7F\tb", nullptr, MB_OK);
        const MessageBoxLayout asked = LayOutMessageBox("a???b", nullptr, MB_OK);
        EXPECT_EQ(PaintMessageBox(odd, BoxState{}), PaintMessageBox(asked, BoxState{}));
        EXPECT_NE(PaintMessageBox(asked, BoxState{}),
                  PaintMessageBox(LayOutMessageBox("a   b", nullptr, MB_OK), BoxState{}));
    }
}

} // namespace
