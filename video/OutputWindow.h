// The output window's measurements, shared with the device setup.
#pragma once

// SourceRect := the client area of OutputWindow in client coordinates, DestRect := the
// same area in screen coordinates.
void MeasureClientArea();
