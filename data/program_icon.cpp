#include "data/program_icon.h"

#include <algorithm>
#include <cmath>

#include "window_units/template_format.h"

namespace lyra {

namespace {

void AppendU16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

// The drawing, in units of the tile's side (0..1, y downwards).
bool InRoundedTile(double x, double y) {
    const double inset = 0.03, radius = 0.22;
    const double lo = inset + radius, hi = 1.0 - inset - radius;
    double dx = x < lo ? lo - x : x > hi ? x - hi : 0.0;
    double dy = y < lo ? lo - y : y > hi ? y - hi : 0.0;
    if (x < inset || x > 1.0 - inset || y < inset || y > 1.0 - inset) return false;
    return dx * dx + dy * dy <= radius * radius;
}

struct NoteHead {
    double cx, cy;
};
const NoteHead kHeads[2] = {{0.33, 0.72}, {0.69, 0.64}};
const double kHeadRx = 0.135, kHeadRy = 0.098, kHeadTilt = -0.35;  // radians
const double kStemWidth = 0.075;
const double kBeamLeftTop = 0.20, kBeamRightTop = 0.12, kBeamThickness = 0.12;

bool InHead(const NoteHead& head, double x, double y) {
    double c = std::cos(kHeadTilt), s = std::sin(kHeadTilt);
    double u = (x - head.cx) * c + (y - head.cy) * s;
    double v = -(x - head.cx) * s + (y - head.cy) * c;
    return (u * u) / (kHeadRx * kHeadRx) + (v * v) / (kHeadRy * kHeadRy) <= 1.0;
}

double StemRight(const NoteHead& head) { return head.cx + kHeadRx * 0.92; }

// The beam's top edge between the two stems.
double BeamTop(double x) {
    double left = StemRight(kHeads[0]) - kStemWidth, right = StemRight(kHeads[1]);
    double t = (x - left) / (right - left);
    return kBeamLeftTop + (kBeamRightTop - kBeamLeftTop) * t;
}

bool InNotes(double x, double y) {
    for (const NoteHead& head : kHeads) {
        if (InHead(head, x, y)) return true;
        double right = StemRight(head);
        if (x >= right - kStemWidth && x <= right && y <= head.cy && y >= BeamTop(x)) return true;
    }
    double left = StemRight(kHeads[0]) - kStemWidth, right = StemRight(kHeads[1]);
    return x >= left && x <= right && y >= BeamTop(x) && y <= BeamTop(x) + kBeamThickness;
}

// Tile colour: blue at the top to violet at the bottom.
void TileColour(double y, double* r, double* g, double* b) {
    *r = 52 + (112 - 52) * y;
    *g = 128 + (64 - 128) * y;
    *b = 235 + (205 - 235) * y;
}

std::vector<uint8_t> IconImage(int size) {
    std::vector<uint8_t> rgba = ProgramIconPixels(size);
    // BITMAPINFOHEADER with twice the height (image, then mask), bottom-up rows.
    const uint32_t maskStride = static_cast<uint32_t>(((size + 31) / 32) * 4);
    const uint32_t imageBytes = static_cast<uint32_t>(size * size * 4);
    std::vector<uint8_t> out;
    AppendU32(out, 40);
    AppendU32(out, static_cast<uint32_t>(size));
    AppendU32(out, static_cast<uint32_t>(size * 2));
    AppendU16(out, 1);
    AppendU16(out, 32);
    AppendU32(out, 0);
    AppendU32(out, imageBytes + maskStride * static_cast<uint32_t>(size));
    for (int i = 0; i < 4; ++i) AppendU32(out, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const uint8_t* p = &rgba[static_cast<size_t>((y * size + x) * 4)];
            const uint8_t bgra[4] = {p[2], p[1], p[0], p[3]};
            AppendBytes(out, bgra, 4);
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int x = 0; x < size; ++x) {
            if (rgba[static_cast<size_t>((y * size + x) * 4 + 3)] == 0) row[static_cast<size_t>(x / 8)] |= 0x80 >> (x % 8);
        }
        AppendBytes(out, row.data(), row.size());
    }
    return out;
}

}  // namespace

std::vector<uint8_t> ProgramIconPixels(int size) {
    // Each pixel is the average of 4 x 4 samples: smooth edges at every size.
    const int grid = 4;
    std::vector<uint8_t> pixels(static_cast<size_t>(size * size * 4));
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < grid; ++sy) {
                for (int sx = 0; sx < grid; ++sx) {
                    double x = (px + (sx + 0.5) / grid) / size, y = (py + (sy + 0.5) / grid) / size;
                    if (!InRoundedTile(x, y)) continue;
                    double cr, cg, cb;
                    if (InNotes(x, y)) {
                        cr = cg = cb = 255;
                    } else {
                        TileColour(y, &cr, &cg, &cb);
                    }
                    r += cr;
                    g += cg;
                    b += cb;
                    a += 1;
                }
            }
            uint8_t* out = &pixels[static_cast<size_t>((py * size + px) * 4)];
            if (a > 0) {
                out[0] = static_cast<uint8_t>(std::lround(r / a));
                out[1] = static_cast<uint8_t>(std::lround(g / a));
                out[2] = static_cast<uint8_t>(std::lround(b / a));
            }
            out[3] = static_cast<uint8_t>(std::lround(255.0 * a / (grid * grid)));
        }
    }
    return pixels;
}

std::vector<uint8_t> ProgramIconFile() {
    const size_t count = sizeof kProgramIconSizes / sizeof kProgramIconSizes[0];
    std::vector<std::vector<uint8_t>> images;
    for (int size : kProgramIconSizes) images.push_back(IconImage(size));
    std::vector<uint8_t> out;
    AppendU16(out, 0);
    AppendU16(out, 1);  // icon
    AppendU16(out, static_cast<uint16_t>(count));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * count);
    for (size_t i = 0; i < count; ++i) {
        int size = kProgramIconSizes[i];
        out.push_back(static_cast<uint8_t>(size >= 256 ? 0 : size));  // 0 means 256
        out.push_back(static_cast<uint8_t>(size >= 256 ? 0 : size));
        out.push_back(0);  // no palette
        out.push_back(0);
        AppendU16(out, 1);   // planes
        AppendU16(out, 32);  // bits per pixel
        AppendU32(out, static_cast<uint32_t>(images[i].size()));
        AppendU32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) AppendBytes(out, image.data(), image.size());
    return out;
}

}  // namespace lyra
