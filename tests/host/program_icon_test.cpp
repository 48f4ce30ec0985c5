// The program's icon file: a directory of four 32-bit images whose records
// point at well-formed bitmaps inside the file.
#include <gtest/gtest.h>

#include <cstring>

#include "data/program_icon.h"

namespace lyra {
namespace {

uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

TEST(ProgramIcon, DirectoryHoldsFourSizesWithWellFormedImages) {
    std::vector<uint8_t> file = ProgramIconFile();
    ASSERT_GE(file.size(), 6u);
    EXPECT_EQ(U16(file, 0), 0u);
    EXPECT_EQ(U16(file, 2), 1u) << "an icon, not a cursor";
    ASSERT_EQ(U16(file, 4), 4u);
    size_t end = 6 + 16 * 4;
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const size_t entry = 6 + 16 * i;
        const uint32_t size = static_cast<uint32_t>(kProgramIconSizes[i]);
        EXPECT_EQ(file[entry] == 0 ? 256u : file[entry], size);
        EXPECT_EQ(file[entry + 1] == 0 ? 256u : file[entry + 1], size);
        EXPECT_EQ(U16(file, entry + 6), 32u);
        const uint32_t bytes = U32(file, entry + 8), offset = U32(file, entry + 12);
        ASSERT_EQ(offset, end) << "images follow one another";
        ASSERT_LE(size_t{offset} + bytes, file.size());
        end = offset + bytes;
        // BITMAPINFOHEADER: the height counts the colour image and its mask.
        EXPECT_EQ(U32(file, offset), 40u);
        EXPECT_EQ(U32(file, offset + 4), size);
        EXPECT_EQ(U32(file, offset + 8), 2 * size);
        EXPECT_EQ(U16(file, offset + 14), 32u);
        const uint32_t maskStride = (size + 31) / 32 * 4;
        EXPECT_EQ(bytes, 40 + size * size * 4 + maskStride * size);
    }
    EXPECT_EQ(end, file.size());
}

TEST(ProgramIcon, CornersAreClearAndTheMiddleIsSolid) {
    for (int size : kProgramIconSizes) {
        SCOPED_TRACE(size);
        std::vector<uint8_t> pixels = ProgramIconPixels(size);
        auto alpha = [&](int x, int y) { return pixels[static_cast<size_t>((y * size + x) * 4 + 3)]; };
        EXPECT_EQ(alpha(0, 0), 0) << "rounded corner";
        EXPECT_EQ(alpha(size - 1, size - 1), 0);
        EXPECT_EQ(alpha(size / 2, size / 2), 255);
        // Both the tile's colour and the notes' white occur at every size.
        bool white = false, tinted = false;
        for (size_t i = 0; i < pixels.size(); i += 4) {
            if (pixels[i + 3] != 255) continue;
            white = white || (pixels[i] == 255 && pixels[i + 1] == 255 && pixels[i + 2] == 255);
            tinted = tinted || pixels[i + 2] > pixels[i] + 60;
        }
        EXPECT_TRUE(white);
        EXPECT_TRUE(tinted);
    }
}

}  // namespace
}  // namespace lyra
