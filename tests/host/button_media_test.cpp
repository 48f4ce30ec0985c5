// The program's own pictures and sounds: well-formed BMP, GIF and WAVE
// files. The GIF encoder is checked with an independent LZW decoder.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "data/button_media.h"

namespace lyra {
namespace {

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t at) {
    uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}
uint16_t U16At(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// Decodes the first image of a GIF with a global colour table into palette
// indices (a plain LZW decoder, variable code width).
bool DecodeGif(const std::vector<uint8_t>& gif, int* width, int* height, std::vector<uint8_t>* pixels) {
    if (gif.size() < 13 || std::memcmp(gif.data(), "GIF89a", 6) != 0) return false;
    size_t at = 13 + ((gif[10] & 0x80) ? 3u * (2u << (gif[10] & 7)) : 0u);
    if (at + 10 > gif.size() || gif[at] != 0x2C) return false;
    *width = U16At(gif, at + 5);
    *height = U16At(gif, at + 7);
    at += 10;
    int minimum = gif[at++];
    std::vector<uint8_t> data;
    while (at < gif.size() && gif[at] != 0) {
        size_t length = gif[at++];
        data.insert(data.end(), gif.begin() + static_cast<std::ptrdiff_t>(at),
                    gif.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    }
    const int clear = 1 << minimum, end = clear + 1;
    std::vector<std::vector<uint8_t>> table;
    int codeWidth = minimum + 1;
    auto reset = [&] {
        table.assign(static_cast<size_t>(end + 1), {});
        for (int i = 0; i < clear; ++i) table[static_cast<size_t>(i)] = {static_cast<uint8_t>(i)};
        codeWidth = minimum + 1;
    };
    reset();
    size_t bit = 0;
    int previous = -1;
    pixels->clear();
    while (bit + static_cast<size_t>(codeWidth) <= data.size() * 8) {
        int code = 0;
        for (int i = 0; i < codeWidth; ++i, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
        if (code == clear) {
            reset();
            previous = -1;
            continue;
        }
        if (code == end) return true;
        std::vector<uint8_t> entry;
        if (code < static_cast<int>(table.size())) {
            entry = table[static_cast<size_t>(code)];
        } else if (code == static_cast<int>(table.size()) && previous >= 0) {
            entry = table[static_cast<size_t>(previous)];
            entry.push_back(entry[0]);
        } else {
            return false;
        }
        if (previous >= 0) {
            std::vector<uint8_t> added = table[static_cast<size_t>(previous)];
            added.push_back(entry[0]);
            table.push_back(added);
            if (static_cast<int>(table.size()) == (1 << codeWidth) && codeWidth < 12) ++codeWidth;
        }
        pixels->insert(pixels->end(), entry.begin(), entry.end());
        previous = code;
    }
    return false;
}

TEST(ButtonMedia, GifEncodingDecodesToTheSamePixels) {
    IndexedImage image;
    image.width = 53;
    image.height = 31;  // more pixels than one clear period holds, several times over
    image.palette.assign(256 * 3, 0x40);
    std::mt19937 random(7);
    for (int i = 0; i < image.width * image.height; ++i) image.pixels.push_back(static_cast<uint8_t>(random()));
    std::vector<uint8_t> gif = EncodeGif(image);
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    ASSERT_TRUE(DecodeGif(gif, &width, &height, &pixels));
    EXPECT_EQ(width, 53);
    EXPECT_EQ(height, 31);
    EXPECT_EQ(pixels, image.pixels);
    EXPECT_EQ(gif.back(), 0x3B);
}

TEST(ButtonMedia, QueryButtonFacesAre90By26Gifs) {
    std::vector<uint8_t> normal = QueryButtonPicture(false), lit = QueryButtonPicture(true);
    for (const auto& gif : {normal, lit}) {
        int width = 0, height = 0;
        std::vector<uint8_t> pixels;
        ASSERT_TRUE(DecodeGif(gif, &width, &height, &pixels));
        EXPECT_EQ(width, 90);
        EXPECT_EQ(height, 26);
        EXPECT_EQ(pixels.size(), 90u * 26u);
    }
    EXPECT_NE(normal, lit);
}

TEST(ButtonMedia, BadgesAre35By35ThirtyTwoBitBmps) {
    for (const auto& bmp : {HelpButtonPicture(), AboutButtonPicture()}) {
        ASSERT_EQ(bmp.size(), 14u + 40u + 35u * 35u * 4u);
        EXPECT_EQ(bmp[0], 0x42);
        EXPECT_EQ(bmp[1], 0x4D);
        EXPECT_EQ(U32At(bmp, 2), bmp.size());
        EXPECT_EQ(U32At(bmp, 10), 54u);
        EXPECT_EQ(U32At(bmp, 18), 35u);
        EXPECT_EQ(U32At(bmp, 22), 35u);
        EXPECT_EQ(U16At(bmp, 28), 32u);
    }
    EXPECT_NE(HelpButtonPicture(), AboutButtonPicture());
}

TEST(ButtonMedia, SoundsArePcmWaves) {
    for (const auto& wave : {MouseEnterSound(), ClickSound()}) {
        ASSERT_GT(wave.size(), 44u);
        EXPECT_EQ(std::memcmp(wave.data(), "RIFF", 4), 0);
        EXPECT_EQ(U32At(wave, 4), wave.size() - 8);
        EXPECT_EQ(std::memcmp(wave.data() + 8, "WAVEfmt ", 8), 0);
        EXPECT_EQ(U16At(wave, 20), 1u) << "PCM";
        EXPECT_EQ(U32At(wave, 24), 22050u);
        EXPECT_EQ(U32At(wave, 40), wave.size() - 44);
    }
}

}  // namespace
}  // namespace lyra
