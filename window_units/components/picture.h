// Stored pictures (BMP, GIF or JPEG files) as bitmaps for painting.
#pragma once

#include <windows.h>

#include <string>

namespace lyra {

// A new device-independent bitmap of the picture file, its size in *size;
// null when the bytes are empty or not a readable picture. Uncompressed BMP
// files are read here; everything else goes to the system's picture loader.
HBITMAP DecodePicture(const std::string& file, SIZE* size);

}  // namespace lyra
