// The desktop's scale, as a program that declares no DPI awareness is shown at it: the
// settings a person's desktop makes (GDK_SCALE, else Xft.dpi in the X server's resource
// database, which GNOME, KDE and Xfce set from their scaling), rounded to a whole factor so
// that every pixel of the program is a crisp block. The X part reads them when video
// starts (x11/ScreenXScreen.cpp).
#include "Screen.h"

#include <cmath>
#include <cstdlib>

int ScaleForSettings(const char* gdkScale, double xftDpi) {
    // GDK_SCALE is a whole factor the person set for their programs; it wins as in GTK.
    if (gdkScale != nullptr && gdkScale[0] != '\0') {
        char* end = nullptr;
        const long factor = std::strtol(gdkScale, &end, 10);
        if (*end == '\0' && factor >= 1 && factor <= MaximumScale)
            return static_cast<int>(factor);
    }
    // 96 dpi is 100 %; half a step rounds up (150 % gives 2, 125 % gives 1).
    if (!(xftDpi > 0) || !std::isfinite(xftDpi))
        return 1;
    const double factor = std::floor(xftDpi / 96.0 + 0.5);
    return factor < 1 ? 1 : factor > MaximumScale ? MaximumScale : static_cast<int>(factor);
}
