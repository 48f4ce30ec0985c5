#include "data/button_art.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace lyra {

namespace {

constexpr double kPi = 3.14159265358979323846;

void PutU16(std::string& out, uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void PutU32(std::string& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

Rgb Mix(Rgb a, Rgb b, double t) {
    t = std::min(std::max(t, 0.0), 1.0);
    auto m = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * t)); };
    return Rgb{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

// Pixel glyphs, '#' inked.
const char* const kGlyphCha[] = {
    "......#.......",
    ".############.",
    ".....###......",
    "....#.#.#.....",
    "..##..#..##...",
    ".#....#....#..",
    "...########...",
    "...#......#...",
    "...########...",
    "...#......#...",
    "...########...",
    "..............",
    ".############.",
};
const char* const kGlyphXun[] = {
    ".#...#........",
    "..#..#........",
    ".....#########",
    "....#........#",
    "###.#.#####..#",
    "..#...#...#..#",
    "..#...#####..#",
    "..#...#...#..#",
    "..#...#...#..#",
    "..#.#.#####..#",
    "..##.........#",
    "..#.........##",
    "..............",
};
const char* const kGlyphQuestion[] = {
    ".#####.",
    "##...##",
    "##...##",
    ".....##",
    "....##.",
    "...##..",
    "...##..",
    ".......",
    "...##..",
    "...##..",
};
const char* const kGlyphInfo[] = {
    ".##.",
    ".##.",
    "....",
    "###.",
    ".##.",
    ".##.",
    ".##.",
    ".##.",
    ".##.",
    "####",
};

template <size_t N>
void DrawGlyph(Canvas& c, const char* const (&glyph)[N], int left, int top, int scale, Rgb ink) {
    for (size_t row = 0; row < N; ++row) {
        for (int col = 0; glyph[row][col] != 0; ++col) {
            if (glyph[row][col] != '#') continue;
            for (int dy = 0; dy < scale; ++dy) {
                for (int dx = 0; dx < scale; ++dx) {
                    int x = left + col * scale + dx, y = top + static_cast<int>(row) * scale + dy;
                    if (x >= 0 && y >= 0 && x < c.width && y < c.height) c.At(x, y) = ink;
                }
            }
        }
    }
}

// Coverage of a pixel by a shape, sampled 4 x 4.
template <typename Inside>
double Coverage(int x, int y, Inside inside) {
    int hits = 0;
    for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
            if (inside(x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0)) ++hits;
        }
    }
    return hits / 16.0;
}

// The query button: a rounded frame with a vertical gradient, a magnifier
// and the two characters of its caption.
Canvas QueryButton(Rgb top, Rgb bottom, Rgb frame, Rgb ink) {
    const int w = 90, h = 26;
    Canvas c(w, h, Rgb{0xF0, 0xF0, 0xF0});
    for (int y = 0; y < h; ++y) {
        Rgb row = Mix(top, bottom, static_cast<double>(y) / (h - 1));
        for (int x = 0; x < w; ++x) {
            bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            bool corner = (x == 0 || x == w - 1) && (y == 0 || y == h - 1);
            if (corner) continue;
            c.At(x, y) = edge ? frame : row;
        }
    }
    // Magnifier: a ring and a handle, drawn in the ink colour at four levels.
    const double cx = 22.5, cy = 11.5;
    auto ring = [&](double px, double py) {
        double d = std::hypot(px - cx, py - cy);
        return d >= 3.6 && d <= 5.4;
    };
    auto handle = [&](double px, double py) {
        double t = ((px - 26.0) + (py - 15.0)) / 2.0;
        double off = std::fabs((px - 26.0) - (py - 15.0)) / std::sqrt(2.0);
        return t >= 0.0 && t <= 4.5 && off <= 1.2;
    };
    for (int y = 4; y < 22; ++y) {
        for (int x = 14; x < 34; ++x) {
            double a = std::max(Coverage(x, y, ring), Coverage(x, y, handle));
            a = std::round(a * 4) / 4;
            if (a > 0) c.At(x, y) = Mix(c.At(x, y), ink, a);
        }
    }
    DrawGlyph(c, kGlyphCha, 40, 6, 1, ink);
    DrawGlyph(c, kGlyphXun, 57, 6, 1, ink);
    return c;
}

// A round 35 x 35 badge with a glyph, on the window's grey.
template <size_t N>
Canvas Badge(Rgb light, Rgb dark, const char* const (&glyph)[N], int glyphLeft) {
    const int size = 35;
    Canvas c(size, size, Rgb{0xF0, 0xF0, 0xF0});
    const double centre = size / 2.0, radius = 16.5;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double a = Coverage(x, y, [&](double px, double py) { return std::hypot(px - centre, py - centre) <= radius; });
            if (a <= 0) continue;
            Rgb fill = Mix(light, dark, static_cast<double>(y) / size);
            c.At(x, y) = Mix(c.At(x, y), fill, a);
        }
    }
    DrawGlyph(c, glyph, glyphLeft, 7, 2, Rgb{0xFF, 0xFF, 0xFF});
    return c;
}

// Tones: each (frequency at start, frequency at end, milliseconds).
struct Tone {
    double from, to;
    int milliseconds;
};

std::string Synthesise(std::initializer_list<Tone> tones, uint32_t rate) {
    std::string samples;
    for (const Tone& tone : tones) {
        int count = static_cast<int>(rate * tone.milliseconds / 1000);
        double phase = 0;
        for (int i = 0; i < count; ++i) {
            double t = static_cast<double>(i) / count;
            double frequency = tone.from + (tone.to - tone.from) * t;
            phase += 2 * kPi * frequency / rate;
            double envelope = std::min(1.0, std::min(t * 20, (1 - t) * 5));
            double v = 128 + 90 * envelope * std::sin(phase);
            samples.push_back(static_cast<char>(static_cast<uint8_t>(std::lround(v))));
        }
    }
    return samples;
}

}  // namespace

std::string EncodeGif(const Canvas& canvas) {
    std::map<uint32_t, uint8_t> index;
    std::string palette;
    std::vector<uint8_t> pixels;
    pixels.reserve(canvas.pixels.size());
    for (const Rgb& p : canvas.pixels) {
        uint32_t key = static_cast<uint32_t>(p.r) << 16 | p.g << 8 | p.b;
        auto found = index.find(key);
        if (found == index.end()) {
            if (index.size() == 256) return std::string();
            found = index.emplace(key, static_cast<uint8_t>(index.size())).first;
            palette.push_back(static_cast<char>(p.r));
            palette.push_back(static_cast<char>(p.g));
            palette.push_back(static_cast<char>(p.b));
        }
        pixels.push_back(found->second);
    }
    palette.resize(768, 0);

    std::string out = "GIF89a";
    PutU16(out, static_cast<uint32_t>(canvas.width));
    PutU16(out, static_cast<uint32_t>(canvas.height));
    out.push_back(static_cast<char>(0xF7));  // global table of 256 colours, 8-bit
    out.push_back(0);
    out.push_back(0);
    out += palette;
    out.push_back(0x2C);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, static_cast<uint32_t>(canvas.width));
    PutU16(out, static_cast<uint32_t>(canvas.height));
    out.push_back(0);
    out.push_back(8);  // minimum code size

    // Literal codes only, 9 bits wide: a clear code every 250 pixels keeps
    // the decoder's table from growing to 512 entries.
    std::string data;
    uint32_t bits = 0;
    int bitCount = 0;
    auto emit = [&](uint32_t code) {
        bits |= code << bitCount;
        bitCount += 9;
        while (bitCount >= 8) {
            data.push_back(static_cast<char>(bits & 0xFF));
            bits >>= 8;
            bitCount -= 8;
        }
    };
    const uint32_t clear = 256, end = 257;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (i % 250 == 0) emit(clear);
        emit(pixels[i]);
    }
    emit(end);
    if (bitCount > 0) data.push_back(static_cast<char>(bits & 0xFF));
    for (size_t at = 0; at < data.size(); at += 255) {
        size_t n = std::min<size_t>(255, data.size() - at);
        out.push_back(static_cast<char>(n));
        out.append(data, at, n);
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

std::string EncodeBmp32(const Canvas& canvas) {
    const uint32_t imageBytes = static_cast<uint32_t>(canvas.width * canvas.height * 4);
    std::string out = "BM";
    PutU32(out, 14 + 40 + imageBytes);
    PutU32(out, 0);
    PutU32(out, 14 + 40);
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(canvas.width));
    PutU32(out, static_cast<uint32_t>(canvas.height));
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, 0);  // BI_RGB
    PutU32(out, imageBytes);
    PutU32(out, 2835);
    PutU32(out, 2835);
    PutU32(out, 0);
    PutU32(out, 0);
    for (int y = canvas.height - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.width; ++x) {
            Rgb p = canvas.At(x, y);
            out.push_back(static_cast<char>(p.b));
            out.push_back(static_cast<char>(p.g));
            out.push_back(static_cast<char>(p.r));
            out.push_back(static_cast<char>(0xFF));
        }
    }
    return out;
}

std::string EncodeWave(const std::string& samples, uint32_t sampleRate) {
    std::string out = "RIFF";
    PutU32(out, static_cast<uint32_t>(36 + samples.size()));
    out += "WAVEfmt ";
    PutU32(out, 16);
    PutU16(out, 1);  // PCM
    PutU16(out, 1);  // mono
    PutU32(out, sampleRate);
    PutU32(out, sampleRate);
    PutU16(out, 1);
    PutU16(out, 8);
    out += "data";
    PutU32(out, static_cast<uint32_t>(samples.size()));
    out += samples;
    if (samples.size() % 2 != 0) out.push_back(static_cast<char>(0x80));
    return out;
}

std::string QueryButtonNormalGif() {
    return EncodeGif(QueryButton(Rgb{0xF7, 0xFA, 0xFD}, Rgb{0xD6, 0xE3, 0xF0}, Rgb{0x7A, 0x9C, 0xC0}, Rgb{0x20, 0x30, 0x50}));
}

std::string QueryButtonHotGif() {
    return EncodeGif(QueryButton(Rgb{0xFF, 0xF8, 0xE4}, Rgb{0xFF, 0xD8, 0x90}, Rgb{0xD0, 0x90, 0x30}, Rgb{0x60, 0x30, 0x00}));
}

std::string HelpButtonBmp() { return EncodeBmp32(Badge(Rgb{0x6C, 0xB4, 0xF0}, Rgb{0x1E, 0x5A, 0xB4}, kGlyphQuestion, 10)); }

std::string AboutButtonBmp() { return EncodeBmp32(Badge(Rgb{0x7C, 0xD0, 0x7C}, Rgb{0x1E, 0x8C, 0x3C}, kGlyphInfo, 13)); }

std::string HelpButtonWave() {
    const uint32_t rate = 22050;
    return EncodeWave(Synthesise({{880, 880, 60}, {1320, 1320, 70}}, rate), rate);
}

std::string AboutButtonWave() {
    const uint32_t rate = 22050;
    return EncodeWave(Synthesise({{600, 1200, 150}}, rate), rate);
}

}  // namespace lyra
