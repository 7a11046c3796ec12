// Rectangles as the stand-in's window manager, surfaces and screen layer compute with them
// (without the logging of the Win32 rectangle calls).
#pragma once

#include <windows.h>

#include <algorithm>

inline LONG Width(const RECT& rect) {
    return rect.right - rect.left;
}
inline LONG Height(const RECT& rect) {
    return rect.bottom - rect.top;
}
inline bool IsEmpty(const RECT& rect) {
    return rect.left >= rect.right || rect.top >= rect.bottom;
}
inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
// Empty (see IsEmpty) when the two do not overlap.
inline RECT Intersection(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}
// The smallest rectangle holding both.
inline RECT BoundingRect(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}
