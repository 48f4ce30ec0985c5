// The program's own button pictures and sounds, drawn and synthesised
// here: BMP and GIF files for the button looks, WAVE files for the sounds.
// Platform-free: the template compiler stores them in the property blocks.
#pragma once

#include <cstdint>
#include <vector>

namespace lyra {

// 35 x 35, 32 bits with alpha: a blue round badge with "?" or "i".
std::vector<uint8_t> HelpButtonPicture();
std::vector<uint8_t> AboutButtonPicture();

// 90 x 26 GIF89a: the query button's face, normal or lit (mouse over).
std::vector<uint8_t> QueryButtonPicture(bool lit);

// 22050 Hz, 16-bit mono PCM WAVE files.
std::vector<uint8_t> MouseEnterSound();
std::vector<uint8_t> ClickSound();

// An image as palette indices, row by row from the top.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> palette;  // r, g, b per entry; at most 256 entries
    std::vector<uint8_t> pixels;
};
std::vector<uint8_t> EncodeGif(const IndexedImage& image);

}  // namespace lyra
