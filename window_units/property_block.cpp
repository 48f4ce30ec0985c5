#include "window_units/property_block.h"

#include <cstring>

#include "window_units/template_format.h"

namespace lyra {

PropertyBlockReader::PropertyBlockReader(const uint8_t* data, size_t size) : archive_(data, size) {
    if (size == 0) return;
    archive_.Skip(20);
    version_ = archive_.ReadU32();
}

bool PropertyBlockReader::U32(uint32_t* value) {
    if (archive_.AtEnd()) return false;
    *value = archive_.ReadU32();
    return true;
}

bool PropertyBlockReader::I32(int32_t* value) {
    if (archive_.AtEnd()) return false;
    *value = archive_.ReadI32();
    return true;
}

bool PropertyBlockReader::Text(std::string* value) {
    if (archive_.AtEnd()) return false;
    uint32_t length = archive_.ReadU32();
    const uint8_t* bytes = archive_.ReadBytes(length);
    value->assign(reinterpret_cast<const char*>(bytes), length);
    return true;
}

bool PropertyBlockReader::Block(std::vector<uint8_t>* value) {
    if (archive_.AtEnd()) return false;
    uint32_t length = archive_.ReadU32();
    const uint8_t* bytes = archive_.ReadBytes(length);
    value->assign(bytes, bytes + length);
    return true;
}

PropertyBlockWriter::PropertyBlockWriter(uint32_t version) : bytes_(20, 0) { AppendU32(bytes_, version); }

void PropertyBlockWriter::U32(uint32_t value) { AppendU32(bytes_, value); }

void PropertyBlockWriter::Text(const std::string& value) {
    AppendU32(bytes_, static_cast<uint32_t>(value.size()));
    AppendBytes(bytes_, value.data(), value.size());
}

void PropertyBlockWriter::Block(const std::vector<uint8_t>& value) {
    AppendU32(bytes_, static_cast<uint32_t>(value.size()));
    AppendBytes(bytes_, value.data(), value.size());
}

std::vector<uint8_t> EncodeLogFont(const LogFontFields& font) {
    std::vector<uint8_t> out;
    AppendU32(out, static_cast<uint32_t>(font.height));
    AppendU32(out, static_cast<uint32_t>(font.width));
    AppendU32(out, static_cast<uint32_t>(font.escapement));
    AppendU32(out, static_cast<uint32_t>(font.orientation));
    AppendU32(out, static_cast<uint32_t>(font.weight));
    const uint8_t bytes[8] = {font.italic,       font.underline,     font.strikeOut, font.charset,
                              font.outPrecision, font.clipPrecision, font.quality,   font.pitchAndFamily};
    AppendBytes(out, bytes, sizeof bytes);
    char face[32] = {};
    std::memcpy(face, font.faceName.data(), font.faceName.size() < 31 ? font.faceName.size() : 31);
    AppendBytes(out, face, sizeof face);
    return out;
}

bool DecodeLogFont(const std::vector<uint8_t>& bytes, LogFontFields* font) {
    if (bytes.size() != kLogFontSize) return false;
    framework::MemoryArchive archive(bytes.data(), bytes.size());
    font->height = archive.ReadI32();
    font->width = archive.ReadI32();
    font->escapement = archive.ReadI32();
    font->orientation = archive.ReadI32();
    font->weight = archive.ReadI32();
    font->italic = archive.ReadU8();
    font->underline = archive.ReadU8();
    font->strikeOut = archive.ReadU8();
    font->charset = archive.ReadU8();
    font->outPrecision = archive.ReadU8();
    font->clipPrecision = archive.ReadU8();
    font->quality = archive.ReadU8();
    font->pitchAndFamily = archive.ReadU8();
    const char* face = reinterpret_cast<const char*>(archive.ReadBytes(32));
    font->faceName.assign(face, strnlen(face, 32));
    if (font->faceName.size() > 31) font->faceName.resize(31);
    return true;
}

std::vector<uint8_t> MakeFontBlock(int32_t height, int32_t weight, const char* faceName) {
    LogFontFields font;
    font.height = height;
    font.weight = weight;
    if (faceName != nullptr) font.faceName = faceName;
    return EncodeLogFont(font);
}

std::vector<uint8_t> MinimalPropertyBlock(uint32_t version) { return PropertyBlockWriter(version).bytes(); }

}  // namespace lyra
