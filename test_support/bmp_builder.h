// BMP files built field by field for the picture tests, so each case can
// put one size or offset out of line with the bytes that follow.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace lyra::test {

struct BmpFields {
    uint32_t infoSize = 40;
    int32_t width = 2;
    int32_t height = 2;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    uint32_t tableBytes = 0;   // bytes written between the info header and the pixels
    int64_t bitsOffset = -1;   // -1: right after the table
    int64_t pixelBytes = -1;   // -1: exactly the rows the header asks for
    uint8_t fill = 0x40;       // every byte after the headers
};

inline std::string BuildBmp(const BmpFields& f) {
    std::string file(14 + f.infoSize, '\0');
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&file[at], &v, 4); };
    auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&file[at], &v, 2); };
    file[0] = 'B';
    file[1] = 'M';
    put32(14, f.infoSize);
    put32(18, static_cast<uint32_t>(f.width));
    put32(22, static_cast<uint32_t>(f.height));
    put16(26, 1);
    put16(28, f.bitCount);
    put32(30, f.compression);
    put32(46, f.coloursUsed);
    file.append(f.tableBytes, static_cast<char>(f.fill));
    uint32_t offset = f.bitsOffset < 0 ? static_cast<uint32_t>(file.size()) : static_cast<uint32_t>(f.bitsOffset);
    put32(10, offset);
    int64_t rows = f.height < 0 ? -static_cast<int64_t>(f.height) : f.height;
    int64_t stride = ((static_cast<int64_t>(f.width) * f.bitCount + 31) / 32) * 4;
    int64_t pixels = f.pixelBytes < 0 ? stride * rows : f.pixelBytes;
    file.append(static_cast<size_t>(pixels), static_cast<char>(f.fill));
    put32(2, static_cast<uint32_t>(file.size()));
    return file;
}

}  // namespace lyra::test
