// Scaling between the template's units and the display's pixels.
//
// Template geometry, stored font heights, list column widths and stored
// pictures are in pixels at 96 DPI. On a display of another DPI they are
// scaled by dpi / 96 where windows, fonts, columns and pictures are made, so
// the window keeps its proportions and its text is drawn at the display's
// resolution. At 96 DPI every value passes through unchanged.
#pragma once

#include <cstdint>
#include <vector>

namespace lyra {

constexpr int kTemplateDpi = 96;

// value * dpi / 96, rounded half away from zero (as MulDiv does).
int ScaleForDpi(int value, int dpi);
// The inverse: pixels back to template units.
int UnscaleForDpi(int value, int dpi);

// An image of premultiplied RGBA pixels, top-down rows, resampled to a new
// size: each target pixel averages the source area it covers (bilinear
// where the image grows), so edges stay smooth at any scale.
std::vector<uint8_t> ResampleRgba(const std::vector<uint8_t>& pixels, int width, int height, int newWidth,
                                  int newHeight);

}  // namespace lyra
