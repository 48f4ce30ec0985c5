// Property blocks of the component types: 20 zero bytes, a version word,
// then the type's fields in its own order (texts as counted texts, fonts
// as a 60-byte LOGFONTA block, colours as COLORREF words, pictures and
// sounds as blocks holding a whole file).
//
// PropertyBlockReader and PropertyBlockWriter are the codec of the window,
// EditBox, GroupBox and Label blocks. The reader skips the 20 header bytes
// without looking at them and hands the version word out unchecked. A
// block may end before its last fields: the missing fields keep their
// defaults, so the 24-byte header alone is a valid block of these types, and
// so is an empty block. A header or a field that is cut in the middle makes
// the block unreadable (framework::ArchiveError). The ListView, SuperBtn and
// HyperLinker blocks are read with components/block_codec.h instead, which
// refuses a non-zero header byte, another version and a block cut short.
//
// Platform-free: the host template compiler writes blocks with these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/framework/archive.h"

namespace lyra {

// The default (or transparent) colour.
constexpr uint32_t kDefaultColour = 0xFF000000;
// A colour word with this top byte names system colour number (low byte).
constexpr uint32_t kSystemColourFlag = 0x80000000;

constexpr size_t kPropertyBlockHeaderSize = 24;
constexpr size_t kLogFontSize = 60;
constexpr uint8_t kGb2312Charset = 134;

// Value kinds of the property descriptions; they decide how ReadProperty
// hands a value out.
enum PropertyKind : uint16_t {
    kKindInteger = 1000,
    kKindColour = 1001,
    kKindLong = 1002,
    kKindLogical = 1003,
    kKindDateTime = 1004,
    kKindText = 1005,
    kKindChoice = 1006,
    kKindData = 1009,
    kKindPicture = 1010,
    kKindMousePointer = 1011,
    kKindSound = 1012,
    kKindFont = 1013,
};

class PropertyBlockReader {
public:
    PropertyBlockReader(const uint8_t* data, size_t size);

    uint32_t version() const { return version_; }

    // Each answers false, leaving *value alone, when the block ended before the field.
    bool U32(uint32_t* value);
    bool I32(int32_t* value);
    bool Text(std::string* value);
    bool Block(std::vector<uint8_t>* value);

private:
    framework::MemoryArchive archive_;
    uint32_t version_ = 0;
};

class PropertyBlockWriter {
public:
    explicit PropertyBlockWriter(uint32_t version);

    void U32(uint32_t value);
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void Text(const std::string& value);
    void Block(const std::vector<uint8_t>& value);

    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

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

// The minimal valid block of any type: the header alone.
std::vector<uint8_t> MinimalPropertyBlock(uint32_t version);

}  // namespace lyra
