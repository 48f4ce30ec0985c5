// Stored pictures (BMP, GIF or JPEG files) as bitmaps for painting.
#pragma once

#include <windows.h>

#include <string>

namespace lyra {

// A new device-independent bitmap of the picture file, its size in *size;
// null when the bytes are empty or not a readable picture. Uncompressed BMP
// files are read here; everything else goes to the system's picture loader.
// *alpha (when given) tells whether the picture has an alpha channel in
// use; its colours are then premultiplied, ready for AlphaBlend.
HBITMAP DecodePicture(const std::string& file, SIZE* size, bool* alpha = nullptr);

// Draws a decoded picture at x, y: blended when it has alpha, copied otherwise.
void DrawPicture(HDC dc, HBITMAP picture, SIZE size, bool alpha, int x, int y);

}  // namespace lyra
