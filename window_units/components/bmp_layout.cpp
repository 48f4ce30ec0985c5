#include "window_units/components/bmp_layout.h"

#include <cstring>

namespace lyra {

namespace {

constexpr size_t kFileHeader = 14;
constexpr size_t kInfoHeader = 40;
constexpr size_t kLargestInfoHeader = 124;  // BITMAPV5HEADER
constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;
constexpr int32_t kLargestSide = 16384;

uint32_t U32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

uint16_t U16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

}  // namespace

bool ReadBmpLayout(const uint8_t* file, size_t size, BmpLayout* layout) {
    if (size < kFileHeader + kInfoHeader || file[0] != 'B' || file[1] != 'M') return false;
    const uint8_t* info = file + kFileHeader;
    uint32_t infoSize = U32(info);
    int32_t width = static_cast<int32_t>(U32(info + 4));
    int32_t height = static_cast<int32_t>(U32(info + 8));
    uint16_t planes = U16(info + 12);
    uint16_t bitCount = U16(info + 14);
    uint32_t compression = U32(info + 16);
    uint32_t coloursUsed = U32(info + 32);
    if (infoSize < kInfoHeader || infoSize > kLargestInfoHeader || planes != 1) return false;
    if (compression != kRgb && compression != kBitFields) return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) {
        return false;
    }
    if (compression == kBitFields && bitCount != 16 && bitCount != 32) return false;
    if (width <= 0 || width > kLargestSide || height == 0 || height < -kLargestSide || height > kLargestSide) {
        return false;
    }

    BmpLayout l;
    l.width = width;
    l.rows = height < 0 ? -height : height;
    l.topDown = height < 0;
    l.bitCount = bitCount;
    l.bitFields = compression == kBitFields;
    // The masks follow the 40-byte header; the larger headers hold them in
    // the same place.
    l.masksOffset = kFileHeader + kInfoHeader;
    size_t tableStart = kFileHeader + infoSize;
    if (l.bitFields && infoSize < kInfoHeader + 12) tableStart = kFileHeader + kInfoHeader + 12;
    size_t fullTable = bitCount <= 8 ? (size_t{1} << bitCount) : 0;
    if (coloursUsed > 256 || (bitCount <= 8 && coloursUsed > fullTable)) return false;
    l.colours = coloursUsed != 0 ? coloursUsed : fullTable;
    l.paletteOffset = tableStart;
    size_t infoEnd = tableStart + l.colours * 4;
    if (infoEnd > size) return false;

    uint32_t bitsOffset = U32(file + 10);
    l.bitsOffset = bitsOffset;
    if (l.bitsOffset < infoEnd || l.bitsOffset > size) return false;
    l.stride = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
    l.imageBytes = l.stride * static_cast<size_t>(l.rows);
    if (size - l.bitsOffset < l.imageBytes) return false;
    *layout = l;
    return true;
}

std::vector<uint8_t> BmpInfoBlock(const uint8_t* file, const BmpLayout& layout) {
    size_t masks = layout.bitFields ? 12 : 0;
    std::vector<uint8_t> block(kInfoHeader + masks + layout.colours * 4);
    std::memcpy(block.data(), file + kFileHeader, kInfoHeader);
    const uint32_t headerSize = kInfoHeader;
    std::memcpy(block.data(), &headerSize, 4);
    if (masks != 0) std::memcpy(block.data() + kInfoHeader, file + layout.masksOffset, masks);
    std::memcpy(block.data() + kInfoHeader + masks, file + layout.paletteOffset, layout.colours * 4);
    return block;
}

}  // namespace lyra
