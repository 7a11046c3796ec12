// The message box painted at 96 dpi in the colours of Windows' classic look: a light grey
// face, black text, raised buttons with a light top-left and a dark bottom-right edge; the
// focused button (the default) framed in black with a dotted focus rectangle round its
// text, and pushed in while the mouse holds it.
#include "ScreenBox.h"

namespace {

constexpr uint32_t Black = 0x000000, White = 0xFFFFFF;
constexpr uint32_t Shadow = 0x808080, DarkShadow = 0x404040;

// The box's pixels being painted.
struct Canvas {
    std::vector<uint32_t>& pixels;
    int width, height;
};

void Put(Canvas& canvas, int x, int y, uint32_t colour) {
    if (x >= 0 && x < canvas.width && y >= 0 && y < canvas.height)
        canvas.pixels[static_cast<size_t>(y) * canvas.width + x] = colour;
}

// A one-pixel frame: the top and left edges in one colour, the bottom and right in another.
void Frame(Canvas& canvas, const BoxRect& r, uint32_t topLeft, uint32_t bottomRight) {
    for (int x = r.x; x < r.x + r.width; ++x) {
        Put(canvas, x, r.y, topLeft);
        Put(canvas, x, r.y + r.height - 1, bottomRight);
    }
    for (int y = r.y; y < r.y + r.height - 1; ++y) {
        Put(canvas, r.x, y, topLeft);
        Put(canvas, r.x + r.width - 1, y, bottomRight);
    }
    Put(canvas, r.x + r.width - 1, r.y, bottomRight);
}

// Every other pixel of a frame, as Windows draws a focus rectangle.
void Dotted(Canvas& canvas, const BoxRect& r, uint32_t colour) {
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x) {
            const bool edge =
                x == r.x || x == r.x + r.width - 1 || y == r.y || y == r.y + r.height - 1;
            if (edge && (x + y) % 2 == 0)
                Put(canvas, x, y, colour);
        }
}

void Text(Canvas& canvas, const std::string& text, int x, int y, uint32_t colour) {
    for (const char c : text) {
        const int code = static_cast<unsigned char>(c);
        const int glyph = code >= BoxFontFirst && code <= BoxFontLast ? code : '?';
        const uint8_t* rows = BoxFontGlyphs[glyph - BoxFontFirst];
        for (int row = 0; row < BoxFontHeight; ++row)
            for (int column = 0; column < BoxFontWidth; ++column)
                if ((rows[row] & (0x80 >> column)) != 0)
                    Put(canvas, x + column, y + row, colour);
        x += BoxFontWidth;
    }
}

BoxRect Inset(const BoxRect& r, int by) {
    return BoxRect{r.x + by, r.y + by, r.width - 2 * by, r.height - 2 * by};
}

void PaintButton(Canvas& canvas, const BoxButton& button, bool focused, bool pushed) {
    BoxRect edge = button.place;
    if (focused) {
        Frame(canvas, edge, Black, Black);
        edge = Inset(edge, 1);
    }
    if (pushed) {
        Frame(canvas, edge, Shadow, Shadow);
    } else {
        Frame(canvas, edge, White, DarkShadow);
        Frame(canvas, Inset(edge, 1), BoxFaceColour, Shadow);
    }
    const std::string text = button.text;
    const int shift = pushed ? 1 : 0;
    const BoxRect& place = button.place;
    Text(canvas, text,
         place.x + (place.width - static_cast<int>(text.size()) * BoxFontWidth) / 2 + shift,
         place.y + (place.height - BoxFontHeight) / 2 + shift, Black);
    if (focused)
        Dotted(canvas, Inset(place, 4), Black);
}

} // namespace

std::vector<uint32_t> PaintMessageBox(const MessageBoxLayout& layout, const BoxState& state) {
    std::vector<uint32_t> pixels(static_cast<size_t>(layout.width) * layout.height, BoxFaceColour);
    Canvas canvas{pixels, layout.width, layout.height};
    for (size_t i = 0; i < layout.lines.size(); ++i)
        Text(canvas, layout.lines[i], layout.textX,
             layout.textY + static_cast<int>(i) * BoxFontHeight, Black);
    for (size_t i = 0; i < layout.buttons.size(); ++i) {
        const int index = static_cast<int>(i);
        PaintButton(canvas, layout.buttons[i], index == state.focus,
                    index == state.pressed && state.pressedUnder);
    }
    return pixels;
}
