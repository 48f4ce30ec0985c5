// Character-wise scanning of GBK texts.
//
// A byte of 0x80 or more starts a two-byte character; a scan steps over both
// bytes together, so a match or a cut point never falls on a second byte. A
// scan's own starting offset counts as a character boundary, whatever lies
// before it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lyra {

inline bool IsLeadByte(uint8_t b) { return b >= 0x80; }

// Bytes of the character at offset (1 or 2), never reaching past end.
inline size_t CharLength(const uint8_t* text, size_t offset, size_t end) {
    return IsLeadByte(text[offset]) && offset + 1 < end ? 2 : 1;
}

inline bool IsFullWidthSpace(const uint8_t* text, size_t offset, size_t end) {
    return offset + 1 < end && text[offset] == 0xA1 && text[offset + 1] == 0xA1;
}

inline uint8_t FoldAsciiCase(uint8_t b) { return b >= 'A' && b <= 'Z' ? static_cast<uint8_t>(b + 32) : b; }

// The sought text of a search, compared exactly or with 'A'..'Z' equal to 'a'..'z'.
struct SoughtText {
    const uint8_t* bytes;
    size_t length;  // above 0
    bool foldCase;
};

constexpr size_t kNotFound = static_cast<size_t>(-1);

// The first offset c in [from, end - length] where the sought text occurs and
// c is a character boundary of a scan that starts at from; kNotFound when
// there is none. Reads nothing at or beyond end.
size_t FindOccurrence(const uint8_t* text, size_t from, size_t end, const SoughtText& sought);

}  // namespace lyra
