// The BMP reader: which headers it accepts and what BITMAPINFO it builds,
// with every size, offset and table checked against the bytes present.
#include <gtest/gtest.h>

#include "test_support/bmp_builder.h"
#include "window_units/components/bmp_layout.h"

namespace lyra::test {
namespace {

bool Layout(const std::string& file, BmpLayout* layout) {
    return ReadBmpLayout(reinterpret_cast<const uint8_t*>(file.data()), file.size(), layout);
}

bool Accepted(const BmpFields& fields) {
    BmpLayout layout;
    return Layout(BuildBmp(fields), &layout);
}

TEST(BmpLayout, WellFormedFilesGiveTheirPartsAndAnInfoBlockOfTheirOwn) {
    BmpFields eight;
    eight.bitCount = 8;
    eight.tableBytes = 1024;
    eight.height = -3;
    std::string file = BuildBmp(eight);
    BmpLayout layout;
    ASSERT_TRUE(Layout(file, &layout));
    EXPECT_EQ(layout.colours, 256u);
    EXPECT_EQ(layout.rows, 3);
    EXPECT_TRUE(layout.topDown);
    EXPECT_EQ(layout.stride, 4u);
    EXPECT_EQ(layout.bitsOffset, 14u + 40 + 1024);
    EXPECT_EQ(BmpInfoBlock(reinterpret_cast<const uint8_t*>(file.data()), layout).size(), 40u + 1024);

    BmpFields used;
    used.bitCount = 4;
    used.coloursUsed = 2;
    used.tableBytes = 8;
    ASSERT_TRUE(Layout(BuildBmp(used), &layout));
    EXPECT_EQ(layout.colours, 2u);

    BmpFields v5;  // masks inside the larger header, copied behind a 40-byte one
    v5.infoSize = 124;
    v5.bitCount = 32;
    v5.compression = 3;
    file = BuildBmp(v5);
    uint32_t red = 0x00FF0000;
    std::memcpy(&file[14 + 40], &red, 4);
    ASSERT_TRUE(Layout(file, &layout));
    std::vector<uint8_t> block = BmpInfoBlock(reinterpret_cast<const uint8_t*>(file.data()), layout);
    ASSERT_EQ(block.size(), 52u);
    uint32_t headerSize, copiedRed;
    std::memcpy(&headerSize, block.data(), 4);
    std::memcpy(&copiedRed, block.data() + 40, 4);
    EXPECT_EQ(headerSize, 40u);
    EXPECT_EQ(copiedRed, red);
}

TEST(BmpLayout, TablesAndMasksBeyondTheBytesAreRefused) {
    BmpFields noTable;  // 8 bits per pixel, pixels right after the header
    noTable.bitCount = 8;
    EXPECT_FALSE(Accepted(noTable)) << "the 1 KiB colour table is missing";

    BmpFields shortTable = noTable;
    shortTable.tableBytes = 1020;
    EXPECT_FALSE(Accepted(shortTable));

    BmpFields deepUsed;  // biClrUsed counts at 24 bits too
    deepUsed.coloursUsed = 16;
    EXPECT_FALSE(Accepted(deepUsed)) << "16 colours named, none present";
    deepUsed.tableBytes = 64;
    EXPECT_TRUE(Accepted(deepUsed));

    BmpFields masks;
    masks.bitCount = 16;
    masks.compression = 3;
    masks.width = 2;
    masks.height = 1;
    masks.bitsOffset = 14 + 40;
    EXPECT_FALSE(Accepted(masks)) << "bit-field masks overlap the pixels";
    masks.bitsOffset = -1;
    masks.tableBytes = 12;
    EXPECT_TRUE(Accepted(masks));
}

TEST(BmpLayout, MalformedHeadersAreRefused) {
    auto refused = [](auto change, const char* what) {
        BmpFields fields;
        change(fields);
        EXPECT_FALSE(Accepted(fields)) << what;
    };
    refused([](BmpFields& f) { f.coloursUsed = 257; f.tableBytes = 257 * 4; }, "more than 256 colours");
    refused([](BmpFields& f) { f.bitCount = 4; f.coloursUsed = 17; f.tableBytes = 17 * 4; }, "more colours than the depth");
    refused([](BmpFields& f) { f.infoSize = 39; }, "header too small");
    refused([](BmpFields& f) { f.infoSize = 4000; }, "header of no known version");
    refused([](BmpFields& f) { f.bitCount = 7; }, "depth");
    refused([](BmpFields& f) { f.bitCount = 24; f.compression = 3; f.tableBytes = 12; }, "bit fields at 24 bits");
    refused([](BmpFields& f) { f.compression = 1; }, "run-length compression is not ours");
    refused([](BmpFields& f) { f.width = 0; }, "no width");
    refused([](BmpFields& f) { f.width = -2; }, "negative width");
    refused([](BmpFields& f) { f.height = 0; }, "no height");
    refused([](BmpFields& f) { f.height = INT32_MIN; f.pixelBytes = 0; }, "height without a magnitude");
    refused([](BmpFields& f) { f.width = 1 << 20; f.pixelBytes = 0; }, "too wide");
    refused([](BmpFields& f) { f.pixelBytes = 15; }, "pixel rows cut short");
    refused([](BmpFields& f) { f.bitsOffset = 0x7FFFFFFF; }, "pixels beyond the file");
    refused([](BmpFields& f) { f.bitsOffset = 20; }, "pixels inside the header");

    BmpLayout layout;
    std::string file = BuildBmp(BmpFields{});
    file[1] = 'X';
    EXPECT_FALSE(Layout(file, &layout)) << "no signature";
    EXPECT_FALSE(Layout(BuildBmp(BmpFields{}).substr(0, 40), &layout)) << "header cut short";
}

}  // namespace
}  // namespace lyra::test
