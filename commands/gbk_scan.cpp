#include "commands/gbk_scan.h"

#include <cstring>

namespace lyra {

namespace {

// How many bytes of 0x80 or more stand directly before offset c, looking
// back no further than floor. Eight at a time while a whole word is high.
size_t HighRunBefore(const uint8_t* text, size_t floor, size_t c) {
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    size_t j = c;
    while (j - floor >= 8) {
        uint64_t word;
        std::memcpy(&word, text + j - 8, 8);
        if ((word & kHighBits) != kHighBits) break;
        j -= 8;
    }
    while (j > floor && IsLeadByte(text[j - 1])) --j;
    return c - j;
}

bool MatchesAt(const uint8_t* at, const SoughtText& sought) {
    if (!sought.foldCase) return std::memcmp(at, sought.bytes, sought.length) == 0;
    for (size_t i = 0; i < sought.length; ++i) {
        if (FoldAsciiCase(at[i]) != FoldAsciiCase(sought.bytes[i])) return false;
    }
    return true;
}

// Next offset in [pos, last] holding a byte that can begin the sought text:
// one byte value, or both cases of a letter when case folds.
class FirstByteFinder {
public:
    FirstByteFinder(const uint8_t* text, const SoughtText& sought) : text_(text) {
        uint8_t first = sought.bytes[0];
        byteA_ = byteB_ = first;
        uint8_t lower = FoldAsciiCase(first);
        if (sought.foldCase && lower >= 'a' && lower <= 'z') {
            byteA_ = lower;
            byteB_ = static_cast<uint8_t>(lower - 32);
        }
    }

    size_t Next(size_t pos, size_t last) {
        if (byteA_ == byteB_) return Scan(byteA_, pos, last);
        if (nextA_ == kUnknown || (nextA_ != kNotFound && nextA_ < pos)) nextA_ = Scan(byteA_, pos, last);
        if (nextB_ == kUnknown || (nextB_ != kNotFound && nextB_ < pos)) nextB_ = Scan(byteB_, pos, last);
        return nextA_ < nextB_ ? nextA_ : nextB_;
    }

private:
    static constexpr size_t kUnknown = kNotFound - 1;

    size_t Scan(uint8_t byte, size_t pos, size_t last) const {
        const void* hit = std::memchr(text_ + pos, byte, last - pos + 1);
        return hit != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(hit) - text_) : kNotFound;
    }

    const uint8_t* text_;
    uint8_t byteA_;
    uint8_t byteB_;
    size_t nextA_ = kUnknown;
    size_t nextB_ = kUnknown;
};

}  // namespace

size_t FindOccurrence(const uint8_t* text, size_t from, size_t end, const SoughtText& sought) {
    if (sought.length == 0 || from > end || end - from < sought.length) return kNotFound;
    const size_t last = end - sought.length;
    FirstByteFinder finder(text, sought);
    // Bytes are compared first; only a match has its place checked, by
    // looking back to the last known character boundary. Each look back
    // covers bytes no other one covers, so the whole search stays linear.
    size_t boundary = from;
    size_t pos = from;
    while (pos <= last) {
        size_t candidate = finder.Next(pos, last);
        if (candidate == kNotFound) return kNotFound;
        if (!MatchesAt(text + candidate, sought)) {
            pos = candidate + 1;
            continue;
        }
        if (HighRunBefore(text, boundary, candidate) % 2 == 0) return candidate;
        // The match begins on the second byte of a character; the next character starts right after it.
        boundary = pos = candidate + 1;
    }
    return kNotFound;
}

}  // namespace lyra
