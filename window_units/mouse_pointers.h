// Mouse pointers of units: a standard pointer by number, or a cursor file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lyra {

// The pointer a unit's mouse-pointer block names; null for the default
// pointer (number 0) or unreadable data.
HCURSOR CreateMousePointer(const std::vector<uint8_t>& block);
// Destroys a pointer made from cursor file data; standard pointers are shared and stay.
void DestroyMousePointer(HCURSOR pointer);
// The created pointer of the unit whose window this is, or null.
HCURSOR PointerOfWindow(HWND window);

// Mouse-pointer values of a program (property kind 1011): a block whose
// first word is stored as a standard-pointer number (1, 2, ...) is seen by
// the program with the system's cursor id there (32512 the arrow, ...),
// and a program's block is stored back the other way. Blocks shorter than
// 4 bytes, number 0 and words that name no standard pointer pass as they are.
std::string PointerBlockForProgram(const std::string& stored);
std::string PointerBlockForStore(const std::string& program);

}  // namespace lyra
