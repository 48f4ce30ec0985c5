#include "commands/output_buffer.h"

#include <cstdlib>
#include <cstring>

#include "runtime/memory.h"

namespace lyra {

void FailOversizedAllocation() {
    AllocMemory(SIZE_MAX);
    std::abort();  // no heap hands out SIZE_MAX bytes
}

OutputBuffer::~OutputBuffer() { FreeMemory(data_); }

void OutputBuffer::Reserve(size_t n) {
    size_t needed = CheckedSum(size_, n);
    if (needed <= capacity_) return;
    size_t grown = capacity_ < 64 ? 64 : capacity_ + capacity_ / 2;
    if (grown < capacity_ || grown < needed) grown = needed;
    data_ = static_cast<uint8_t*>(ReallocMemory(data_, grown));
    capacity_ = grown;
}

void OutputBuffer::Append(const void* bytes, size_t n) {
    if (n == 0) return;
    Reserve(n);
    std::memcpy(data_ + size_, bytes, n);
    size_ += n;
}

void OutputBuffer::AppendByte(uint8_t byte) {
    if (size_ == capacity_) Reserve(1);
    data_[size_++] = byte;
}

char* OutputBuffer::TakeText() {
    if (size_ == 0) return nullptr;
    AppendByte(0);
    char* text = static_cast<char*>(ReallocMemory(data_, size_));
    data_ = nullptr;
    size_ = capacity_ = 0;
    return text;
}

uint8_t* OutputBuffer::TakeBlock(size_t prefixSize) {
    uint8_t* block = static_cast<uint8_t*>(AllocMemory(CheckedSum(prefixSize, size_)));
    if (size_ != 0) std::memcpy(block + prefixSize, data_, size_);
    FreeMemory(data_);
    data_ = nullptr;
    size_ = capacity_ = 0;
    return block;
}

}  // namespace lyra
