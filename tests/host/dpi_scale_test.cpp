// Template units to display pixels and back, and pictures redrawn at
// another size.
#include <gtest/gtest.h>

#include "window_units/dpi_scale.h"

namespace lyra {
namespace {

TEST(DpiScale, NinetySixDpiChangesNothingAndOthersScaleRounded) {
    for (int value : {-16, -12, 0, 1, 8, 38, 590, 612, 615}) EXPECT_EQ(ScaleForDpi(value, 96), value);
    EXPECT_EQ(ScaleForDpi(612, 144), 918);
    EXPECT_EQ(ScaleForDpi(615, 144), 923) << "922.5 rounds up";
    EXPECT_EQ(ScaleForDpi(-16, 144), -24) << "a font height in pixels";
    EXPECT_EQ(ScaleForDpi(-15, 144), -23) << "-22.5 rounds away from zero";
    EXPECT_EQ(ScaleForDpi(590, 120), 738);
}

TEST(DpiScale, UnitsSurviveTheRoundTripThroughPixels) {
    for (int dpi : {120, 144, 168, 192}) {
        for (int value = -700; value <= 700; ++value) {
            ASSERT_EQ(UnscaleForDpi(ScaleForDpi(value, dpi), dpi), value) << value << " at " << dpi;
        }
    }
}

std::vector<uint8_t> Image(int width, int height, uint8_t (*pixel)(int x, int y, int channel)) {
    std::vector<uint8_t> out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 4; ++c) out.push_back(pixel(x, y, c));
        }
    }
    return out;
}

TEST(DpiScale, ResampledPicturesKeepTheirColoursAndEdges) {
    auto uniform = Image(35, 35, [](int, int, int c) -> uint8_t { return c == 3 ? 255 : 40 * (c + 1); });
    EXPECT_EQ(ResampleRgba(uniform, 35, 35, 35, 35), uniform) << "the same size is the same picture";
    for (int size : {53, 70, 17}) {
        auto scaled = ResampleRgba(uniform, 35, 35, size, size);
        ASSERT_EQ(scaled.size(), static_cast<size_t>(size * size * 4));
        EXPECT_EQ(scaled, Image(size, size, [](int, int, int c) -> uint8_t { return c == 3 ? 255 : 40 * (c + 1); }))
            << "a plain colour stays plain at " << size;
    }
    // Opaque left half, clear right half (premultiplied: clear is all zero).
    auto halves = Image(20, 10, [](int x, int, int) -> uint8_t { return x < 10 ? 255 : 0; });
    auto grown = ResampleRgba(halves, 20, 10, 30, 15);
    EXPECT_EQ(grown[3], 255) << "the left edge stays opaque";
    EXPECT_EQ(grown[(30 - 1) * 4 + 3], 0) << "the right edge stays clear";
    for (size_t i = 0; i < grown.size(); i += 4) {
        ASSERT_LE(grown[i], grown[i + 3]) << "colour never exceeds coverage";
    }
}

}  // namespace
}  // namespace lyra
