// Reading and writing the fields of a component's property block: 20 zero
// bytes, a version word, then the type's own fields as u32 words, counted
// texts and length-prefixed blocks. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/framework/archive.h"

namespace lyra {

constexpr size_t kBlockHeaderZeros = 20;

class BlockWriter {
public:
    explicit BlockWriter(uint32_t version) {
        bytes_.assign(kBlockHeaderZeros, 0);
        U32(version);
    }
    void U8(uint8_t v) { bytes_.push_back(v); }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    // A counted text and a block share one layout: u32 count, then the bytes.
    void Counted(const std::string& bytes) {
        U32(static_cast<uint32_t>(bytes.size()));
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    }
    void Ztext(const std::string& text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        bytes_.push_back(0);
    }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

// Field readers over an archive; a short block throws framework::ArchiveError.
inline std::string ReadCounted(framework::MemoryArchive& archive) {
    uint32_t n = archive.ReadU32();
    const uint8_t* p = archive.ReadBytes(n);
    return std::string(reinterpret_cast<const char*>(p), n);
}

inline std::string ReadZtext(framework::MemoryArchive& archive) {
    std::string text;
    for (uint8_t c = archive.ReadU8(); c != 0; c = archive.ReadU8()) text.push_back(static_cast<char>(c));
    return text;
}

// Checks the 20 zero bytes and answers the version word.
inline uint32_t ReadBlockHeader(framework::MemoryArchive& archive) {
    const uint8_t* zeros = archive.ReadBytes(kBlockHeaderZeros);
    for (size_t i = 0; i < kBlockHeaderZeros; ++i) {
        if (zeros[i] != 0) throw framework::ArchiveError();
    }
    return archive.ReadU32();
}

}  // namespace lyra
