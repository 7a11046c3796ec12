// The stand-in's units and the physical pixels of a desktop shown at a whole factor: the
// program sees a 96-dpi desktop, and each of its units is factor x factor pixels on screen.
#include "Screen.h"

#include <climits>

int PixelsOfUnits(long long units, int scale) {
    const long long pixels = units * scale;
    return pixels < INT_MIN ? INT_MIN : pixels > INT_MAX ? INT_MAX : static_cast<int>(pixels);
}

LONG UnitsOfPixels(int pixels, int scale) {
    // Rounded down, also left of and above the screen's origin: the unit a pixel lies in.
    const long long quotient = static_cast<long long>(pixels) / scale;
    return static_cast<LONG>(quotient * scale > pixels ? quotient - 1 : quotient);
}
