// libFuzzer target for the BMP reader: whatever it accepts, every part it
// names lies inside the input, and the info block built from it is exactly
// the size GDI reads for such a header.
#include <cstdlib>
#include <cstring>

#include "window_units/components/bmp_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lyra::BmpLayout layout;
    if (!lyra::ReadBmpLayout(data, size, &layout)) return 0;
    if (layout.bitsOffset > size || size - layout.bitsOffset < layout.imageBytes) std::abort();
    if (layout.paletteOffset + layout.colours * 4 > layout.bitsOffset) std::abort();
    std::vector<uint8_t> block = lyra::BmpInfoBlock(data, layout);
    size_t expected = 40 + (layout.bitFields ? 12 : 0) + layout.colours * 4;
    if (block.size() != expected) std::abort();
    // Touch every pixel byte the reader promised is there.
    volatile uint8_t sum = 0;
    for (size_t i = 0; i < layout.imageBytes; ++i) sum = sum + data[layout.bitsOffset + i];
    return 0;
}
