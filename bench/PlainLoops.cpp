// The baseline: the effect's and the presentation's own plain loops, compiled once more
// with the vectorisers off (see CMakeLists.txt) under names of their own.
#include "PlainLoops.h"

#define ShadePixels PlainShadePixels
#define ConvertTo15 PlainConvertTo15
#define ConvertTo16 PlainConvertTo16
#define ConvertTo24 PlainConvertTo24
#define ConvertTo32 PlainRowCopiesTo32 // measured as ConvertTo32 itself; unused here
#include "../effect/ShadePixels.cpp"
#include "../video/PixelConversion.cpp"

// The 32-bit format written pixel by pixel, as the other formats are: the per-pixel
// baseline that the row copies are compared with.
void PlainConvertTo32(const uint32_t* source, uint8_t* dest, int width, int height,
                      int32_t rowPadding) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = *source++;
            dest[0] = static_cast<uint8_t>(p);
            dest[1] = static_cast<uint8_t>(p >> 8);
            dest[2] = static_cast<uint8_t>(p >> 16);
            dest[3] = static_cast<uint8_t>(p >> 24);
            dest += 4;
        }
        dest += rowPadding;
    }
}
