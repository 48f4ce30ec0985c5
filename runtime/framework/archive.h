// An in-memory archive reader: little-endian fields from a byte buffer.
// Any read past the end throws ArchiveError; callers catch it at one place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace framework {

struct ArchiveError : std::runtime_error {
    ArchiveError() : std::runtime_error("read past the end of the archive") {}
};

class MemoryArchive {
public:
    MemoryArchive(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t ReadU8() { return *Take(1); }
    uint16_t ReadU16() {
        const uint8_t* p = Take(2);
        return static_cast<uint16_t>(p[0] | p[1] << 8);
    }
    uint32_t ReadU32() {
        const uint8_t* p = Take(4);
        return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    }
    int32_t ReadI32() { return static_cast<int32_t>(ReadU32()); }
    // n bytes in place; valid while the buffer lives.
    const uint8_t* ReadBytes(size_t n) { return Take(n); }
    void Skip(size_t n) { Take(n); }

    size_t Position() const { return position_; }
    size_t Remaining() const { return size_ - position_; }
    bool AtEnd() const { return position_ == size_; }

private:
    const uint8_t* Take(size_t n) {
        if (n > size_ - position_) throw ArchiveError();
        const uint8_t* p = data_ + position_;
        position_ += n;
        return p;
    }

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

}  // namespace framework
