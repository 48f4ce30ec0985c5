// Property blocks of the component types: 20 zero bytes, the type's
// version word, then the type's fields in its table's order (texts and
// blocks as a u32 count and the bytes, words as u32; fonts are a 60-byte
// LOGFONTA block, colours COLORREF words, pictures and sounds blocks
// holding a whole file).
//
// One rule for every type: a block whose header bytes are not zero, whose
// version word is not the type's, or that ends before its last field is
// refused as a whole. Bytes after the last field are not looked at. A
// unit without a block (an empty one) gives its component the defaults.
//
// Platform-free: the host template compiler writes blocks with these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/framework/archive.h"
#include "window_units/property_kinds.h"

namespace lyra {

// The default (or transparent) colour.
constexpr uint32_t kDefaultColour = 0xFF000000;
// A colour word with this top byte names system colour number (low byte).
constexpr uint32_t kSystemColourFlag = 0x80000000;

constexpr size_t kBlockHeaderZeros = 20;
constexpr size_t kLogFontSize = 60;
constexpr uint8_t kGb2312Charset = 134;

// How a member holds its value in memory and in the block: a word (u32
// unsigned or signed) or counted bytes (a std::string or a byte vector).
enum class FieldForm { kWord, kSigned, kText, kBlock };

// Runs read over the bytes; false when it read past their end (the one
// place a read past the end of a block is caught).
template <typename Read>
bool ReadsWhole(const uint8_t* data, size_t size, Read read) {
    try {
        framework::MemoryArchive archive(data, size);
        return read(archive);
    } catch (const framework::ArchiveError&) {
        return false;
    }
}

// The 24 header bytes of a block of the given version.
std::vector<uint8_t> BlockHeader(uint32_t version);
// Reads the header: false when a header byte is not zero or the version is another.
bool ReadBlockHeader(framework::MemoryArchive& archive, uint32_t version);

void AppendField(FieldForm form, const void* field, std::vector<uint8_t>& out);
void ReadField(FieldForm form, void* field, framework::MemoryArchive& archive);

// Zero-terminated texts inside records (the list view's columns and items).
void AppendZtext(std::vector<uint8_t>& out, const std::string& text);
std::string ReadZtext(framework::MemoryArchive& archive);

// A LOGFONTA as the blocks store it: height, width, escapement,
// orientation, weight, italic, underline, strike-out, character set,
// output precision, clip precision, quality, pitch and family, face name.
struct LogFontFields {
    int32_t height = 0;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 400;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charset = kGb2312Charset;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    std::string faceName;  // GBK, at most 31 bytes
};

std::vector<uint8_t> EncodeLogFont(const LogFontFields& font);
// False for a block that is not exactly 60 bytes (the default GUI font).
bool DecodeLogFont(const std::vector<uint8_t>& bytes, LogFontFields* font);

// A font of the given height and weight in GB2312, face name optional.
std::vector<uint8_t> MakeFontBlock(int32_t height, int32_t weight, const char* faceName);

}  // namespace lyra
