// Loads "DDraw.dll" at start-up, resolves its entry points by name and releases the
// library at termination. The program never links DirectDraw.
#pragma once

#include <windows.h>
#include <ddraw.h>

// The Windows ddraw.h maps these two names to their A or W variant with a macro; here they
// name entry points of their own.
#undef DirectDrawEnumerate
#undef DirectDrawEnumerateEx

namespace DirectDrawLoader {

extern HMODULE DirectDrawLibrary; // 0 while nothing is loaded

extern decltype(&::DirectDrawEnumerateA) DirectDrawEnumerateA;
extern decltype(&::DirectDrawEnumerateW) DirectDrawEnumerateW;
extern decltype(&::DirectDrawEnumerateA) DirectDrawEnumerate;
extern decltype(&::DirectDrawEnumerateExA) DirectDrawEnumerateExA;
extern decltype(&::DirectDrawEnumerateExW) DirectDrawEnumerateExW;
extern decltype(&::DirectDrawEnumerateExA) DirectDrawEnumerateEx;
extern decltype(&::DirectDrawCreate) DirectDrawCreate;
extern decltype(&::DirectDrawCreateEx) DirectDrawCreateEx;
extern decltype(&::DirectDrawCreateClipper) DirectDrawCreateClipper;

// True on the NT platform when the running program's path contains "delphi32.exe"
// in any letter case: DirectDraw is then not loaded at all.
bool IsExcludedHost();

// Module initialisation and finalisation.
void LoadDirectDraw();
void UnloadDirectDraw();

} // namespace DirectDrawLoader
