// A growable byte buffer on the memory services, from which a command's
// result block is cut at exactly its final size.
//
// Growth that would not fit in a size_t goes to the allocator's failure
// path like any other allocation that cannot be satisfied.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lyra {

class OutputBuffer {
public:
    OutputBuffer() = default;
    explicit OutputBuffer(size_t initialCapacity) { Reserve(initialCapacity); }
    ~OutputBuffer();
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    void Append(const void* bytes, size_t n);
    void AppendByte(uint8_t byte);
    void AppendPointer(const void* p) { Append(&p, sizeof p); }
    // Makes room for n more bytes without changing the size.
    void Reserve(size_t n);

    size_t size() const { return size_; }
    uint8_t* data() { return data_; }

    // The contents as a new text (a terminating zero added), or null when empty.
    char* TakeText();
    // The contents as a block of exactly size() bytes behind a prefix of
    // prefixSize bytes, which the caller fills; never null.
    uint8_t* TakeBlock(size_t prefixSize);

private:
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

// The allocator's failure path for a size beyond what a size_t can hold.
[[noreturn]] void FailOversizedAllocation();

// a + b, or the allocation failure path when the sum does not fit.
inline size_t CheckedSum(size_t a, size_t b) {
    if (b > SIZE_MAX - a) FailOversizedAllocation();
    return a + b;
}

}  // namespace lyra
