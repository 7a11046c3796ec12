// The stand-in's DirectDraw as tests of the stand-in and of its screen layer make it: a
// DirectDraw object, and surfaces by description.
#pragma once

#include <windows.h>
#include <ddraw.h>

// A new DirectDraw object's IDirectDraw4 from the stand-in's DirectDrawCreate, the
// IDirectDraw already released.
IDirectDraw4* NewDirectDraw4();
// A surface of the description's flags and caps (a size where given, one back buffer for
// a flip chain); the creation is expected to succeed.
IDirectDrawSurface4* NewSurface(IDirectDraw4* directDraw, DWORD flags, DWORD caps, DWORD width = 0,
                                DWORD height = 0);
