// Shared by the stand-in's own tests.
#pragma once

#include <windows.h>
#include <ddraw.h>

// A new DirectDraw object's IDirectDraw4 from the stand-in's DirectDrawCreate, the
// IDirectDraw already released.
IDirectDraw4* NewDirectDraw4();
