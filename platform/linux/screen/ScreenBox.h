// The stand-in's own message box on screen: laid out in 96-dpi units as a plain Windows
// message box, painted at that size, shown in an SDL window with each of its pixels a
// k x k block (k the desktop's scale) and answered in a loop of its own. Internals of the
// screen layer's box, for its files and tests; everything runs on the program's thread.
#pragma once

#include <windows.h>

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

// --- The font (ScreenBoxFont.cpp, written by tools/boxfont.py) -----------------------------
constexpr int BoxFontWidth = 6, BoxFontHeight = 13;
constexpr int BoxFontFirst = 32, BoxFontLast = 126;
// Each character's rows, top to bottom, its leftmost column in a row's top bit.
extern const uint8_t BoxFontGlyphs[BoxFontLast - BoxFontFirst + 1][BoxFontHeight];

// --- Layout (ScreenBoxLayout.cpp) ----------------------------------------------------------
// A rectangle of the box in 96-dpi units, from its top-left corner.
struct BoxRect {
    int x, y, width, height;
};
struct BoxButton {
    const char* text; // a string literal
    int answer;       // IDOK, IDCANCEL, IDYES or IDNO
    char key;         // the lower-case letter that presses it
    BoxRect place;
};
struct MessageBoxLayout {
    std::string title;              // the caption, "Error" for none
    std::vector<std::string> lines; // the text, broken into lines that fit
    int textX = 0, textY = 0;       // the first line's top-left corner
    std::vector<BoxButton> buttons; // left to right
    int defaultButton = 0;          // the one the focus starts on
    int escapeAnswer = 0;           // what Escape and the close button give; 0: nothing
    int width = 0, height = 0;
};
constexpr int BoxButtonWidth = 75, BoxButtonHeight = 23;
// The box for a MessageBoxA, its buttons and keys as the stand-in decides them for every
// presentation (MessageBoxButtonsOf): no buttons for a type the stand-in does not offer.
// Within maxWidth x maxHeight units (0: no limit) where the text allows: too many lines
// are broken again up to the widest that fits, and what still does not fit is cut,
// "..." marking the cut, so that the buttons stay inside.
MessageBoxLayout LayOutMessageBox(const char* text, const char* caption, UINT type,
                                  int maxWidth = 0, int maxHeight = 0);
// The button at a point in 96-dpi units, -1 for none.
int BoxButtonAt(const MessageBoxLayout& layout, int x, int y);

// --- The person's input (ScreenBoxInput.cpp) -------------------------------------------------
struct BoxState {
    int focus = 0;             // the focused button, marked as the default
    int pressed = -1;          // the button the mouse's left button went down on, -1 for none
    bool pressedUnder = false; // the pointer is over that button now (it shows pushed in)
};
// What an event in the box's SDL window does to the box at a scale (the mouse's
// coordinates are in pixels): the answer it gives (IDYES, ...), or 0 when the box stays.
int BoxAnswerForEvent(const MessageBoxLayout& layout, BoxState* state, const SDL_Event& event,
                      int scale);

// --- Painting (ScreenBoxPaint.cpp) ---------------------------------------------------------
// The box as it looks at 96 dpi: width x height pixels, 0xRRGGBB, rows packed tightly.
std::vector<uint32_t> PaintMessageBox(const MessageBoxLayout& layout, const BoxState& state);
constexpr uint32_t BoxFaceColour = 0xD4D0C8;

// --- The box on screen (ScreenMessageBox.cpp) ----------------------------------------------
// Opens the box in an SDL window of its own, scale times its 96-dpi size, centred over the
// owner's SDL window (on the display for NULL), drawn, raised and given the keyboard; NULL
// when it cannot be shown. One box is open at a time.
SDL_Window* OpenMessageBox(const MessageBoxLayout& layout, SDL_Window* owner, int scale);
// Waits until the person answers the open box and returns the answer. Meanwhile the program's other
// SDL windows take no input and are drawn again when exposed or resized.
int WaitForMessageBoxAnswer();
void CloseMessageBox();
