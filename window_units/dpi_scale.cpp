#include "window_units/dpi_scale.h"

#include <algorithm>
#include <cmath>

namespace lyra {

namespace {

int64_t RoundedDivide(int64_t numerator, int64_t denominator) {
    int64_t magnitude = (std::llabs(numerator) * 2 + denominator) / (2 * denominator);
    return numerator < 0 ? -magnitude : magnitude;
}

// Linear interpolation between source pixel centres, clamped at the edges.
void SampleBilinear(const std::vector<uint8_t>& pixels, int width, int height, double x, double y, double out[4]) {
    x = std::clamp(x, 0.0, static_cast<double>(width - 1));
    y = std::clamp(y, 0.0, static_cast<double>(height - 1));
    int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
    int x1 = std::min(x0 + 1, width - 1), y1 = std::min(y0 + 1, height - 1);
    double fx = x - x0, fy = y - y0;
    for (int c = 0; c < 4; ++c) {
        auto at = [&](int px, int py) { return pixels[static_cast<size_t>((py * width + px) * 4 + c)]; };
        double top = at(x0, y0) * (1 - fx) + at(x1, y0) * fx;
        double bottom = at(x0, y1) * (1 - fx) + at(x1, y1) * fx;
        out[c] = top * (1 - fy) + bottom * fy;
    }
}

// The average over the source rectangle [x0, x1) x [y0, y1), weighted by cover.
void SampleArea(const std::vector<uint8_t>& pixels, int width, double x0, double x1, double y0, double y1,
                double out[4]) {
    double sum[4] = {0, 0, 0, 0}, total = 0;
    for (int py = static_cast<int>(y0); py < y1; ++py) {
        double wy = std::min<double>(py + 1, y1) - std::max<double>(py, y0);
        for (int px = static_cast<int>(x0); px < x1; ++px) {
            double w = wy * (std::min<double>(px + 1, x1) - std::max<double>(px, x0));
            if (w <= 0) continue;
            for (int c = 0; c < 4; ++c) sum[c] += w * pixels[static_cast<size_t>((py * width + px) * 4 + c)];
            total += w;
        }
    }
    for (int c = 0; c < 4; ++c) out[c] = total > 0 ? sum[c] / total : 0;
}

}  // namespace

int ScaleForDpi(int value, int dpi) {
    if (dpi == kTemplateDpi) return value;
    return static_cast<int>(RoundedDivide(static_cast<int64_t>(value) * dpi, kTemplateDpi));
}

int UnscaleForDpi(int value, int dpi) {
    if (dpi == kTemplateDpi || dpi <= 0) return value;
    return static_cast<int>(RoundedDivide(static_cast<int64_t>(value) * kTemplateDpi, dpi));
}

std::vector<uint8_t> ResampleRgba(const std::vector<uint8_t>& pixels, int width, int height, int newWidth,
                                  int newHeight) {
    if (width <= 0 || height <= 0 || newWidth <= 0 || newHeight <= 0) return {};
    if (newWidth == width && newHeight == height) return pixels;
    std::vector<uint8_t> out(static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight) * 4);
    const double sx = static_cast<double>(width) / newWidth, sy = static_cast<double>(height) / newHeight;
    for (int y = 0; y < newHeight; ++y) {
        for (int x = 0; x < newWidth; ++x) {
            double value[4];
            if (sx < 1.0 || sy < 1.0) {
                SampleBilinear(pixels, width, height, (x + 0.5) * sx - 0.5, (y + 0.5) * sy - 0.5, value);
            } else {
                SampleArea(pixels, width, x * sx, (x + 1) * sx, y * sy, (y + 1) * sy, value);
            }
            for (int c = 0; c < 4; ++c) {
                out[static_cast<size_t>((y * newWidth + x) * 4 + c)] =
                    static_cast<uint8_t>(std::clamp(std::lround(value[c]), 0L, 255L));
            }
        }
    }
    return out;
}

}  // namespace lyra
