// Mouse pointers of units: a standard pointer by number, or a cursor file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace lyra {

// The pointer a unit's mouse-pointer block names; null for the default
// pointer (number 0) or unreadable data.
HCURSOR CreateMousePointer(const std::vector<uint8_t>& block);
// Destroys a pointer made from cursor file data; standard pointers are shared and stay.
void DestroyMousePointer(HCURSOR pointer);
// The created pointer of the unit whose window this is, or null.
HCURSOR PointerOfWindow(HWND window);

}  // namespace lyra
