// The display's DPI, and the window units' geometry, fonts and pictures
// scaled to it (see dpi_scale.h). The program declares itself DPI aware
// in its manifest and keeps that promise here.
#pragma once

#include <windows.h>

#include "window_units/component_support.h"
#include "window_units/dpi_scale.h"

namespace lyra {

// The system DPI, read once per process.
int SystemDpi();

inline int ToPixels(int units) { return ScaleForDpi(units, SystemDpi()); }
inline int ToUnits(int pixels) { return UnscaleForDpi(pixels, SystemDpi()); }

// A stored font's height and width, given in pixels at 96 DPI, in pixels
// of the display.
void ScaleFontToDpi(LOGFONTW* font);

// Replaces *picture (a decoded picture) by a copy drawn at the display's
// DPI and updates *size; at 96 DPI nothing changes.
void ScalePictureToDpi(OwnedBitmap* picture, SIZE* size);

}  // namespace lyra
