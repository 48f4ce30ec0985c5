// Where the parts of an uncompressed BMP file lie, checked against the bytes
// actually present, and the BITMAPINFO that GDI is given for it. Nothing
// handed to GDI reaches past what the file holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lyra {

struct BmpLayout {
    int32_t width = 0;
    int32_t rows = 0;          // always positive
    bool topDown = false;
    uint16_t bitCount = 0;
    bool bitFields = false;    // three 32-bit masks at masksOffset
    size_t masksOffset = 0;
    size_t paletteOffset = 0;  // colours RGBQUADs from here
    size_t colours = 0;
    size_t bitsOffset = 0;     // imageBytes of pixel rows from here
    size_t stride = 0;
    size_t imageBytes = 0;
};

// Reads the file and info headers of a BI_RGB or BI_BITFIELDS bitmap; false
// for any other file or when a header, the masks, the colour table GDI
// would read (biClrUsed entries at any depth, or the full table at 8 bits
// or fewer) or the pixel rows do not fit in size bytes.
bool ReadBmpLayout(const uint8_t* file, size_t size, BmpLayout* layout);

// A BITMAPINFO for the layout: a 40-byte info header followed by the masks
// and the colour table, copied from the file. Larger header versions are
// reduced to the 40-byte one so GDI reads nothing the copy does not hold.
std::vector<uint8_t> BmpInfoBlock(const uint8_t* file, const BmpLayout& layout);

}  // namespace lyra
