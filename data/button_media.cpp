#include "data/button_media.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "window_units/template_format.h"

namespace lyra {

namespace {

// ---- Pictures ----

struct Rgba {
    uint8_t r, g, b, a;
};

// 5 x 7 glyphs, one string per row.
const char* const kQuestionGlyph[7] = {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."};
const char* const kInfoGlyph[7] = {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."};

void AppendU16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

// A 32-bit bottom-up BMP file of a top-down RGBA image.
std::vector<uint8_t> EncodeBmp(int width, int height, const std::vector<Rgba>& pixels) {
    const uint32_t headers = 14 + 40;
    const uint32_t imageSize = static_cast<uint32_t>(width * height * 4);
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    AppendU32(out, headers + imageSize);
    AppendU32(out, 0);
    AppendU32(out, headers);
    AppendU32(out, 40);
    AppendU32(out, static_cast<uint32_t>(width));
    AppendU32(out, static_cast<uint32_t>(height));
    AppendU16(out, 1);
    AppendU16(out, 32);
    AppendU32(out, 0);  // BI_RGB
    AppendU32(out, imageSize);
    AppendU32(out, 2835);  // 72 dpi
    AppendU32(out, 2835);
    AppendU32(out, 0);
    AppendU32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgba& p = pixels[static_cast<size_t>(y * width + x)];
            const uint8_t bgra[4] = {p.b, p.g, p.r, p.a};
            AppendBytes(out, bgra, 4);
        }
    }
    return out;
}

uint8_t Mix(uint8_t a, uint8_t b, double t) { return static_cast<uint8_t>(std::lround(a + (b - a) * t)); }

// A round badge shaded from light blue at the top to deep blue at the
// bottom, a white rim, and a white glyph scaled by 3 in the middle.
std::vector<uint8_t> BadgePicture(const char* const (&glyph)[7]) {
    const int size = 35;
    const double centre = 17.0, radius = 16.5;
    std::vector<Rgba> pixels(static_cast<size_t>(size * size), Rgba{0xF0, 0xF0, 0xF0, 0});
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double distance = std::hypot(x - centre, y - centre);
            if (distance > radius) continue;
            double t = static_cast<double>(y) / (size - 1);
            Rgba fill{Mix(0x6E, 0x0B, t), Mix(0xB6, 0x4F, t), Mix(0xFF, 0xB8, t), 0xFF};
            if (distance > radius - 2.0) fill = Rgba{0xFF, 0xFF, 0xFF, 0xFF};
            // Soften the outer edge with partial alpha.
            if (distance > radius - 0.7) fill.a = 0x80;
            pixels[static_cast<size_t>(y * size + x)] = fill;
        }
    }
    const int scale = 3, left = (size - 5 * scale) / 2, top = (size - 7 * scale) / 2;
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 5; ++column) {
            if (glyph[row][column] != '#') continue;
            for (int dy = 0; dy < scale; ++dy) {
                for (int dx = 0; dx < scale; ++dx) {
                    pixels[static_cast<size_t>((top + row * scale + dy) * size + left + column * scale + dx)] =
                        Rgba{0xFF, 0xFF, 0xFF, 0xFF};
                }
            }
        }
    }
    return EncodeBmp(size, size, pixels);
}

// ---- GIF ----

// Codes are written least significant bit first, packed into sub-blocks.
class GifCodeWriter {
public:
    void Write(uint32_t code, int width) {
        bits_ |= code << count_;
        count_ += width;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<uint8_t>(bits_));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    std::vector<uint8_t> Finish() {
        if (count_ > 0) bytes_.push_back(static_cast<uint8_t>(bits_));
        std::vector<uint8_t> blocks;
        for (size_t at = 0; at < bytes_.size(); at += 255) {
            size_t length = std::min<size_t>(255, bytes_.size() - at);
            blocks.push_back(static_cast<uint8_t>(length));
            blocks.insert(blocks.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at),
                          bytes_.begin() + static_cast<std::ptrdiff_t>(at + length));
        }
        blocks.push_back(0);
        return blocks;
    }

private:
    std::vector<uint8_t> bytes_;
    uint32_t bits_ = 0;
    int count_ = 0;
};

// ---- Sounds ----

std::vector<uint8_t> EncodeWave(const std::vector<int16_t>& samples) {
    const uint32_t rate = 22050, dataSize = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> out;
    AppendBytes(out, "RIFF", 4);
    AppendU32(out, 36 + dataSize);
    AppendBytes(out, "WAVEfmt ", 8);
    AppendU32(out, 16);
    AppendU16(out, 1);  // PCM
    AppendU16(out, 1);  // mono
    AppendU32(out, rate);
    AppendU32(out, rate * 2);
    AppendU16(out, 2);
    AppendU16(out, 16);
    AppendBytes(out, "data", 4);
    AppendU32(out, dataSize);
    for (int16_t sample : samples) AppendU16(out, static_cast<uint16_t>(sample));
    return out;
}

// A sine sweeping from one frequency to another, with a short attack and
// an exponential fade so that it does not click.
std::vector<int16_t> Tone(double from, double to, double seconds, double volume) {
    const double rate = 22050.0, pi = 3.14159265358979323846;
    size_t count = static_cast<size_t>(seconds * rate);
    std::vector<int16_t> samples(count);
    double phase = 0;
    for (size_t i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / static_cast<double>(count);
        phase += 2 * pi * (from + (to - from) * t) / rate;
        double envelope = std::min(1.0, static_cast<double>(i) / 40.0) * std::exp(-4.0 * t);
        samples[i] = static_cast<int16_t>(std::lround(32767.0 * volume * envelope * std::sin(phase)));
    }
    return samples;
}

}  // namespace

std::vector<uint8_t> HelpButtonPicture() { return BadgePicture(kQuestionGlyph); }
std::vector<uint8_t> AboutButtonPicture() { return BadgePicture(kInfoGlyph); }

std::vector<uint8_t> EncodeGif(const IndexedImage& image) {
    std::vector<uint8_t> out;
    AppendBytes(out, "GIF89a", 6);
    AppendU16(out, static_cast<uint16_t>(image.width));
    AppendU16(out, static_cast<uint16_t>(image.height));
    out.push_back(0xF7);  // a global colour table of 256 entries
    out.push_back(0);
    out.push_back(0);
    std::vector<uint8_t> palette = image.palette;
    palette.resize(256 * 3, 0);
    AppendBytes(out, palette.data(), palette.size());
    out.push_back(0x2C);
    AppendU16(out, 0);
    AppendU16(out, 0);
    AppendU16(out, static_cast<uint16_t>(image.width));
    AppendU16(out, static_cast<uint16_t>(image.height));
    out.push_back(0);
    // Every pixel as a literal 9-bit code; a clear code before the decoder's
    // table could grow past 9 bits keeps the width fixed.
    const uint32_t clear = 256, end = 257;
    const int width = 9, literalsPerClear = 250;
    out.push_back(8);
    GifCodeWriter codes;
    codes.Write(clear, width);
    int sinceClear = 0;
    for (uint8_t pixel : image.pixels) {
        if (sinceClear == literalsPerClear) {
            codes.Write(clear, width);
            sinceClear = 0;
        }
        codes.Write(pixel, width);
        ++sinceClear;
    }
    codes.Write(end, width);
    std::vector<uint8_t> data = codes.Finish();
    AppendBytes(out, data.data(), data.size());
    out.push_back(0x3B);
    return out;
}

std::vector<uint8_t> QueryButtonPicture(bool lit) {
    IndexedImage image;
    image.width = 90;
    image.height = 26;
    // 0..63: the face shaded from top to bottom; 64 border; 65 glass; 66 ink; 67 outside.
    const uint8_t top[3] = {static_cast<uint8_t>(lit ? 0xF4 : 0xFA), static_cast<uint8_t>(lit ? 0xFA : 0xFA),
                            0xFF};
    const uint8_t bottom[3] = {static_cast<uint8_t>(lit ? 0x9C : 0xC8), static_cast<uint8_t>(lit ? 0xD0 : 0xD8),
                               static_cast<uint8_t>(lit ? 0xFF : 0xF0)};
    for (int i = 0; i < 64; ++i) {
        double t = i / 63.0;
        for (int c = 0; c < 3; ++c) image.palette.push_back(Mix(top[c], bottom[c], t));
    }
    const uint8_t extra[4][3] = {{0x1E, 0x5A, 0xA8}, {0xFF, 0xFF, 0xFF}, {0x1E, 0x3C, 0x78}, {0xF0, 0xF0, 0xF0}};
    for (const auto& colour : extra) image.palette.insert(image.palette.end(), colour, colour + 3);
    const uint8_t border = 64, glass = 65, ink = 66, outside = 67;

    image.pixels.assign(static_cast<size_t>(image.width * image.height), outside);
    auto at = [&](int x, int y) -> uint8_t& { return image.pixels[static_cast<size_t>(y * image.width + x)]; };
    const double r = 5.0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            // A rounded rectangle: the corners are quarter circles of radius r.
            double cx = std::min(std::max(x + 0.5, r), image.width - r), cy = std::min(std::max(y + 0.5, r), image.height - r);
            double distance = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            if (distance > r) continue;
            at(x, y) = distance > r - 1.0 ? border : static_cast<uint8_t>(y * 63 / (image.height - 1));
        }
    }
    // A magnifying glass: a ring with a light glass and a slanted handle.
    const double gx = 39.0, gy = 11.0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            double distance = std::hypot(x + 0.5 - gx, y + 0.5 - gy);
            if (distance <= 4.5) at(x, y) = glass;
            else if (distance <= 6.5) at(x, y) = ink;
        }
    }
    for (int step = 0; step < 7; ++step) {
        int x = 44 + step, y = 16 + step;
        for (int d = 0; d < 2; ++d) {
            if (y + d < image.height - 2) at(x, y + d) = ink;
            if (x + d < image.width) at(x + d, y) = ink;
        }
    }
    return EncodeGif(image);
}

std::vector<uint8_t> MouseEnterSound() { return EncodeWave(Tone(1320.0, 1480.0, 0.045, 0.25)); }

std::vector<uint8_t> ClickSound() {
    std::vector<int16_t> samples = Tone(880.0, 660.0, 0.06, 0.4);
    std::vector<int16_t> second = Tone(660.0, 520.0, 0.05, 0.3);
    samples.insert(samples.end(), second.begin(), second.end());
    return EncodeWave(samples);
}

}  // namespace lyra
