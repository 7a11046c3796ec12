// The message box's layout at 96 dpi, as a plain Windows message box has it: the text in
// the upper part with a margin, left-aligned and broken into lines that fit; the buttons,
// 75 x 23 each, side by side and centred at the bottom; the box as wide as the text or
// the buttons need, and at least MinimumWidth. A text taller than the screen is broken
// into longer lines, and cut where even those do not fit.
#include "ScreenBox.h"

#include <StandInEdge.h>

#include <algorithm>

namespace {

constexpr int SideMargin = 16;    // text and buttons from the box's sides
constexpr int TextTop = 20;       // the first line from the top
constexpr int TextToButtons = 22; // the last line to the buttons
constexpr int BottomMargin = 14;  // the buttons to the bottom
constexpr int ButtonGap = 6;
constexpr int MinimumWidth = 150;
constexpr size_t LongestLine = 80; // characters; longer lines break at a space
// The box's height besides its lines.
constexpr int HeightBesideText = TextTop + TextToButtons + BoxButtonHeight + BottomMargin;

// The text's lines: broken at line ends (CR, LF or CR LF), and where a line is longer
// than longest, at its last space that fits (which goes), else inside the word.
std::vector<std::string> BreakLines(const char* text, size_t longest) {
    std::vector<std::string> paragraphs(1);
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '\r' && c[1] == '\n')
            continue;
        if (*c == '\r' || *c == '\n')
            paragraphs.emplace_back();
        else
            paragraphs.back() += *c;
    }
    std::vector<std::string> lines;
    for (std::string rest : paragraphs) {
        while (rest.size() > longest) {
            const size_t space = rest.rfind(' ', longest);
            const bool atSpace = space != std::string::npos && space > 0;
            const size_t end = atSpace ? space : longest;
            lines.push_back(rest.substr(0, end));
            rest.erase(0, atSpace ? end + 1 : end);
        }
        lines.push_back(rest);
    }
    return lines;
}

} // namespace

MessageBoxLayout LayOutMessageBox(const char* text, const char* caption, UINT type, int maxWidth,
                                  int maxHeight) {
    MessageBoxLayout layout;
    // Windows titles a box without a caption "Error".
    layout.title = caption != nullptr && caption[0] != '\0' ? caption : "Error";
    const MessageBoxButtons box = MessageBoxButtonsOf(type);
    for (int i = 0; i < box.count; ++i)
        layout.buttons.push_back(
            BoxButton{box.buttons[i].text, box.buttons[i].answer, box.buttons[i].key, {}});
    layout.defaultButton = box.defaultButton;
    layout.escapeAnswer = box.escapeAnswer;
    layout.lines = BreakLines(text != nullptr ? text : "", LongestLine);
    const size_t fitting =
        static_cast<size_t>(std::max(1, (maxHeight - HeightBesideText) / BoxFontHeight));
    if (maxHeight > 0 && layout.lines.size() > fitting) {
        const size_t widest =
            std::max(LongestLine,
                     static_cast<size_t>(std::max(0, maxWidth - 2 * SideMargin) / BoxFontWidth));
        layout.lines = BreakLines(text != nullptr ? text : "", widest);
        if (layout.lines.size() > fitting) {
            layout.lines.resize(fitting);
            std::string& last = layout.lines.back();
            last = last.substr(0, std::min(last.size(), widest - 3)) + "...";
        }
    }
    size_t longest = 0;
    for (const std::string& line : layout.lines)
        longest = std::max(longest, line.size());
    const int count = static_cast<int>(layout.buttons.size());
    const int buttonsWidth = count * BoxButtonWidth + std::max(0, count - 1) * ButtonGap;
    layout.width =
        std::max({MinimumWidth, static_cast<int>(longest) * BoxFontWidth + 2 * SideMargin,
                  buttonsWidth + 2 * SideMargin});
    layout.textX = SideMargin;
    layout.textY = TextTop;
    const int buttonsTop =
        TextTop + static_cast<int>(layout.lines.size()) * BoxFontHeight + TextToButtons;
    layout.height = buttonsTop + BoxButtonHeight + BottomMargin;
    int x = (layout.width - buttonsWidth) / 2;
    for (BoxButton& button : layout.buttons) {
        button.place = BoxRect{x, buttonsTop, BoxButtonWidth, BoxButtonHeight};
        x += BoxButtonWidth + ButtonGap;
    }
    return layout;
}

int BoxButtonAt(const MessageBoxLayout& layout, int x, int y) {
    for (size_t i = 0; i < layout.buttons.size(); ++i) {
        const BoxRect& place = layout.buttons[i].place;
        if (x >= place.x && x < place.x + place.width && y >= place.y && y < place.y + place.height)
            return static_cast<int>(i);
    }
    return -1;
}
