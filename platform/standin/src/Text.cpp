// Letter case in the ANSI code page (Windows-1252).
#include "StandInPrivate.h"

namespace {

BYTE LowerCase(BYTE c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<BYTE>(c + 0x20);
    switch (c) {
    case 0x8A: // S with caron
    case 0x8C: // OE
    case 0x8E: // Z with caron
        return static_cast<BYTE>(c + 0x10);
    case 0x9F: // Y with diaeresis
        return 0xFF;
    default:
        return c;
    }
}

} // namespace

DWORD WINAPI CharLowerBuffA(LPSTR text, DWORD length) {
    LogCall("CharLowerBuffA", {Arg(static_cast<const void*>(text)), Arg(length)});
    if (text == nullptr)
        return 0;
    for (DWORD i = 0; i < length; ++i)
        text[i] = static_cast<CHAR>(LowerCase(static_cast<BYTE>(text[i])));
    return length;
}

LPSTR WINAPI CharLowerA(LPSTR text) {
    LogCall("CharLowerA", {Arg(static_cast<const void*>(text))});
    const auto value = reinterpret_cast<uintptr_t>(text);
    // A value below 0x10000 is one character in the low word, converted by value.
    if (value <= 0xFFFF)
        return reinterpret_cast<LPSTR>(
            static_cast<uintptr_t>(LowerCase(static_cast<BYTE>(value & 0xFF))));
    for (LPSTR c = text; *c != '\0'; ++c)
        *c = static_cast<CHAR>(LowerCase(static_cast<BYTE>(*c)));
    return text;
}
