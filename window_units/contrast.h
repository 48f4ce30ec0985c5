// The system's high-contrast mode. While it is on, whatever a component
// paints itself takes the system's colours instead of the colours its
// properties store; the stored colours stay as they are and come back when
// the mode goes off.
#pragma once

#include <windows.h>

namespace lyra {

// True while high contrast is on (SPI_GETHIGHCONTRAST, or the replacement).
bool HighContrast();
// Replaces the system query; null restores it. For tests: Wine always
// answers that the mode is off.
void SetHighContrastQuery(bool (*query)());

// The colour to paint with: the system colour systemIndex in high
// contrast, else chosen.
inline COLORREF ContrastColour(COLORREF chosen, int systemIndex) {
    return HighContrast() ? GetSysColor(systemIndex) : chosen;
}

// Whether a top-level window's message says that the system colours or the
// high-contrast mode changed: what a component painted must be painted again.
bool ColoursChanged(UINT message, WPARAM wParam);

}  // namespace lyra
