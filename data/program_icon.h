// The program's own icon, drawn here: a rounded blue-violet tile with a
// white pair of beamed notes. Platform-free: a host tool writes the icon
// file that the resource compiler puts into the program.
#pragma once

#include <cstdint>
#include <vector>

namespace lyra {

// The sizes of the icon's images, in pixels.
inline constexpr int kProgramIconSizes[] = {16, 32, 48, 256};

// An .ico file: one 32-bit image with alpha (and its AND mask) per size.
std::vector<uint8_t> ProgramIconFile();

// One image of the icon, top-down RGBA.
std::vector<uint8_t> ProgramIconPixels(int size);

}  // namespace lyra
