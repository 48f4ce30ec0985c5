#include <gtest/gtest.h>

#include <cstring>

#include "data/button_art.h"

namespace lyra {
namespace {

uint32_t U16(const std::string& s, size_t at) {
    return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8;
}
uint32_t U32(const std::string& s, size_t at) { return U16(s, at) | U16(s, at + 2) << 16; }

// A plain GIF decoder (one image, global colour table, no interlace), so the
// encoder is checked against the format rather than against itself.
bool DecodeGif(const std::string& file, int* width, int* height, std::vector<Rgb>* pixels) {
    if (file.compare(0, 6, "GIF89a") != 0 || file.size() < 13) return false;
    *width = static_cast<int>(U16(file, 6));
    *height = static_cast<int>(U16(file, 8));
    uint8_t flags = static_cast<uint8_t>(file[10]);
    size_t at = 13;
    std::vector<Rgb> table;
    if (flags & 0x80) {
        size_t n = size_t{2} << (flags & 7);
        for (size_t i = 0; i < n; ++i, at += 3) {
            table.push_back(Rgb{static_cast<uint8_t>(file[at]), static_cast<uint8_t>(file[at + 1]),
                                static_cast<uint8_t>(file[at + 2])});
        }
    }
    if (file[at] != 0x2C) return false;
    at += 10;
    int minimum = file[at++];
    std::string data;
    while (at < file.size() && file[at] != 0) {
        size_t n = static_cast<uint8_t>(file[at]);
        data.append(file, at + 1, n);
        at += n + 1;
    }
    if (at + 1 >= file.size() || file[at + 1] != 0x3B) return false;

    const int clear = 1 << minimum, end = clear + 1;
    std::vector<std::vector<uint8_t>> dict;
    auto reset = [&] {
        dict.assign(static_cast<size_t>(clear + 2), {});
        for (int i = 0; i < clear; ++i) dict[static_cast<size_t>(i)] = {static_cast<uint8_t>(i)};
    };
    reset();
    int width_bits = minimum + 1;
    size_t bitPos = 0;
    int previous = -1;
    std::vector<uint8_t> indices;
    for (;;) {
        if (bitPos + width_bits > data.size() * 8) return false;
        int code = 0;
        for (int b = 0; b < width_bits; ++b, ++bitPos) {
            if (static_cast<uint8_t>(data[bitPos / 8]) >> (bitPos % 8) & 1) code |= 1 << b;
        }
        if (code == clear) {
            reset();
            width_bits = minimum + 1;
            previous = -1;
            continue;
        }
        if (code == end) break;
        std::vector<uint8_t> entry;
        if (code < static_cast<int>(dict.size())) {
            entry = dict[static_cast<size_t>(code)];
        } else if (previous >= 0 && code == static_cast<int>(dict.size())) {
            entry = dict[static_cast<size_t>(previous)];
            entry.push_back(entry[0]);
        } else {
            return false;
        }
        indices.insert(indices.end(), entry.begin(), entry.end());
        if (previous >= 0) {
            std::vector<uint8_t> added = dict[static_cast<size_t>(previous)];
            added.push_back(entry[0]);
            dict.push_back(added);
            if (dict.size() == (size_t{1} << width_bits) && width_bits < 12) ++width_bits;
        }
        previous = code;
    }
    if (indices.size() != static_cast<size_t>(*width) * *height) return false;
    pixels->clear();
    for (uint8_t i : indices) pixels->push_back(table[i]);
    return true;
}

TEST(ButtonArt, GifEncoderRoundTripsThroughADecoder) {
    Canvas canvas(37, 19, Rgb{1, 2, 3});
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) canvas.At(x, y) = Rgb{static_cast<uint8_t>(x * 6), static_cast<uint8_t>((y % 6) * 40), 7};
    }
    int w = 0, h = 0;
    std::vector<Rgb> pixels;
    ASSERT_TRUE(DecodeGif(EncodeGif(canvas), &w, &h, &pixels));
    EXPECT_EQ(w, 37);
    EXPECT_EQ(h, 19);
    EXPECT_TRUE(pixels == canvas.pixels);
}

TEST(ButtonArt, GifEncoderRefusesMoreThan256Colours) {
    Canvas canvas(17, 17, Rgb{0, 0, 0});
    for (int i = 0; i < 17 * 17; ++i) canvas.pixels[static_cast<size_t>(i)] = Rgb{static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8), 0};
    EXPECT_TRUE(EncodeGif(canvas).empty());
}

TEST(ButtonArt, QueryButtonLooksAre90By26GifsThatDiffer) {
    int w = 0, h = 0;
    std::vector<Rgb> normal, hot;
    ASSERT_TRUE(DecodeGif(QueryButtonNormalGif(), &w, &h, &normal));
    EXPECT_EQ(w, 90);
    EXPECT_EQ(h, 26);
    ASSERT_TRUE(DecodeGif(QueryButtonHotGif(), &w, &h, &hot));
    EXPECT_EQ(w, 90);
    EXPECT_EQ(h, 26);
    EXPECT_FALSE(normal == hot);
}

TEST(ButtonArt, BadgesAre35By35ThirtyTwoBitBitmaps) {
    for (const std::string& bmp : {HelpButtonBmp(), AboutButtonBmp()}) {
        ASSERT_EQ(bmp.compare(0, 2, "BM"), 0);
        EXPECT_EQ(U32(bmp, 2), bmp.size());
        EXPECT_EQ(U32(bmp, 10), 54u);
        EXPECT_EQ(U32(bmp, 18), 35u);
        EXPECT_EQ(U32(bmp, 22), 35u);
        EXPECT_EQ(U16(bmp, 28), 32u);
        EXPECT_EQ(bmp.size(), 54u + 35 * 35 * 4);
        // The corner is the window grey, the centre of the badge is not.
        size_t corner = 54;
        EXPECT_EQ(static_cast<uint8_t>(bmp[corner]), 0xF0);
    }
    EXPECT_NE(HelpButtonBmp(), AboutButtonBmp());
}

TEST(ButtonArt, SoundsAreShortPcmWaves) {
    for (const std::string& wave : {HelpButtonWave(), AboutButtonWave()}) {
        ASSERT_EQ(wave.compare(0, 4, "RIFF"), 0);
        EXPECT_EQ(U32(wave, 4) + 8, wave.size() - (wave.size() % 2 != U32(wave, 40) % 2 ? 1 : 0));
        EXPECT_EQ(wave.compare(8, 8, "WAVEfmt "), 0);
        EXPECT_EQ(U16(wave, 20), 1u) << "PCM";
        EXPECT_EQ(U16(wave, 22), 1u) << "mono";
        uint32_t rate = U32(wave, 24);
        uint32_t samples = U32(wave, 40);
        EXPECT_GT(samples, 0u);
        EXPECT_LT(samples * 1000 / rate, 400u) << "a short sound";
    }
}

}  // namespace
}  // namespace lyra
