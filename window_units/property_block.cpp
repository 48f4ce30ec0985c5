#include "window_units/property_block.h"

#include <cstring>

#include "window_units/template_format.h"

namespace lyra {

std::vector<uint8_t> BlockHeader(uint32_t version) {
    std::vector<uint8_t> bytes(kBlockHeaderZeros, 0);
    AppendU32(bytes, version);
    return bytes;
}

bool ReadBlockHeader(framework::MemoryArchive& archive, uint32_t version) {
    const uint8_t* zeros = archive.ReadBytes(kBlockHeaderZeros);
    for (size_t i = 0; i < kBlockHeaderZeros; ++i) {
        if (zeros[i] != 0) return false;
    }
    return archive.ReadU32() == version;
}

namespace {

// Texts and blocks share one layout: a u32 count, then the bytes.
void AppendCounted(std::vector<uint8_t>& out, const void* bytes, size_t count) {
    AppendU32(out, static_cast<uint32_t>(count));
    AppendBytes(out, bytes, count);
}

template <typename Bytes>
void ReadCounted(framework::MemoryArchive& archive, Bytes* out) {
    uint32_t count = archive.ReadU32();
    const uint8_t* bytes = archive.ReadBytes(count);
    out->assign(bytes, bytes + count);
}

}  // namespace

void AppendField(FieldForm form, const void* field, std::vector<uint8_t>& out) {
    switch (form) {
        case FieldForm::kWord: AppendU32(out, *static_cast<const uint32_t*>(field)); break;
        case FieldForm::kSigned: AppendU32(out, static_cast<uint32_t>(*static_cast<const int32_t*>(field))); break;
        case FieldForm::kText: {
            const auto& text = *static_cast<const std::string*>(field);
            AppendCounted(out, text.data(), text.size());
            break;
        }
        case FieldForm::kBlock: {
            const auto& block = *static_cast<const std::vector<uint8_t>*>(field);
            AppendCounted(out, block.data(), block.size());
            break;
        }
    }
}

void ReadField(FieldForm form, void* field, framework::MemoryArchive& archive) {
    switch (form) {
        case FieldForm::kWord: *static_cast<uint32_t*>(field) = archive.ReadU32(); break;
        case FieldForm::kSigned: *static_cast<int32_t*>(field) = archive.ReadI32(); break;
        case FieldForm::kText: ReadCounted(archive, static_cast<std::string*>(field)); break;
        case FieldForm::kBlock: ReadCounted(archive, static_cast<std::vector<uint8_t>*>(field)); break;
    }
}

void AppendZtext(std::vector<uint8_t>& out, const std::string& text) {
    AppendBytes(out, text.c_str(), text.size() + 1);
}

std::string ReadZtext(framework::MemoryArchive& archive) {
    std::string text;
    for (uint8_t c = archive.ReadU8(); c != 0; c = archive.ReadU8()) text.push_back(static_cast<char>(c));
    return text;
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

}  // namespace lyra
