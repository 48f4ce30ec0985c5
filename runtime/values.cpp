#include "runtime/values.h"

#include "runtime/memory.h"

namespace lyra {

TypeClass ClassOfType(uint32_t type) {
    if (type == 0) return TypeClass::None;
    switch (type >> 30) {
        case 2: return TypeClass::Basic;
        case 1: return TypeClass::UserDefined;
        default: return TypeClass::Library;
    }
}

size_t NumericElementSize(uint32_t type) {
    switch (type) {
        case kTypeByte: return 1;
        case kTypeShort: return 2;
        case kTypeInt: return 4;
        case kTypeLong: return 8;
        case kTypeFloat: return 4;
        case kTypeDouble: return 8;
        default: return 0;
    }
}

size_t ArrayElementSize(uint32_t elementType) {
    if (elementType == kTypeText || elementType == kTypeByteSet) return sizeof(void*);
    return NumericElementSize(elementType);
}

int64_t TypedArgumentWord(const TypedCallRecord& r) {
    if (r.flags & 1) return static_cast<int64_t>(RecordWord(r));
    if ((r.flags & 2) || r.type == 0x10003) return RecordLong(r);
    switch (r.type) {
        case kTypeByte: return static_cast<uint8_t>(LowWord(r));
        case kTypeShort: return static_cast<int16_t>(LowWord(r));
        case kTypeDateTime:
        case kTypeEightBytes:
        case kTypeLong:
        case kTypeDouble: return RecordLong(r);
        case kTypeText:
        case kTypeByteSet:
        case kTypeRoutine: return static_cast<int64_t>(RecordWord(r));
        default:
            // Arrays and library types (object and variant blocks, a
            // library's own records) are addresses, passed whole.
            if (IsArrayType(r.type) || ClassOfType(r.type) == TypeClass::Library) return static_cast<int64_t>(RecordWord(r));
            return static_cast<int32_t>(LowWord(r));
    }
}

static int32_t ReadInt32(const void* p, size_t offset) {
    int32_t v;
    std::memcpy(&v, static_cast<const uint8_t*>(p) + offset, 4);
    return v;
}

int32_t ByteSetLength(const void* byteSet) {
    if (byteSet == nullptr) return 0;
    return ReadInt32(byteSet, 4);
}

const uint8_t* ByteSetBytes(const void* byteSet) {
    if (byteSet == nullptr) return nullptr;
    return static_cast<const uint8_t*>(byteSet) + 8;
}

int32_t ArrayDimensionCount(const void* array) {
    if (array == nullptr) return 0;
    return ReadInt32(array, 0);
}

uint64_t ArrayElementCount(const void* array) {
    int32_t dims = ArrayDimensionCount(array);
    if (dims <= 0) return 0;
    uint64_t count = 1;
    for (int32_t i = 0; i < dims; ++i) {
        int32_t size = ReadInt32(array, 4 + 4 * static_cast<size_t>(i));
        if (size <= 0) return 0;
        count *= static_cast<uint64_t>(size);
    }
    return count;
}

uint8_t* ArrayElements(void* array) {
    int32_t dims = ArrayDimensionCount(array);
    return static_cast<uint8_t*>(array) + 4 + 4 * static_cast<size_t>(dims > 0 ? dims : 0);
}

const uint8_t* ArrayElements(const void* array) {
    return ArrayElements(const_cast<void*>(array));
}

uint64_t ArrayBlockSize(const void* array, size_t elementSize) {
    if (array == nullptr) return 0;
    int32_t dims = ArrayDimensionCount(array);
    return 4 + 4 * static_cast<uint64_t>(dims > 0 ? dims : 0) + ArrayElementCount(array) * elementSize;
}

char* MakeText(const char* bytes, size_t length) {
    if (bytes == nullptr || length == 0) return nullptr;
    char* text = static_cast<char*>(AllocMemory(length + 1));
    std::memcpy(text, bytes, length);
    text[length] = 0;
    return text;
}

char* MakeText(const char* source) {
    if (source == nullptr) return nullptr;
    return MakeText(source, std::strlen(source));
}

void* MakeByteSet(const void* bytes, size_t n) {
    if (n == 0) return nullptr;
    uint8_t* block = static_cast<uint8_t*>(AllocMemory(8 + n));
    int32_t header[2] = {1, static_cast<int32_t>(n)};
    std::memcpy(block, header, 8);
    if (bytes != nullptr) std::memcpy(block + 8, bytes, n);
    else std::memset(block + 8, 0, n);
    return block;
}

void* MakeArray(uint32_t count, size_t elementSize) {
    uint8_t* block = static_cast<uint8_t*>(AllocMemory(8 + static_cast<size_t>(count) * elementSize));
    int32_t header[2] = {1, static_cast<int32_t>(count)};
    std::memcpy(block, header, 8);
    return block;
}

void FreeArray(uint32_t elementType, void* array) {
    if (array == nullptr) return;
    elementType = ElementType(elementType);
    if ((elementType == kTypeText || elementType == kTypeByteSet) && !IsStaticBlock(array)) {
        uint64_t count = ArrayElementCount(array);
        for (uint64_t i = 0; i < count; ++i) FreeMemory(ArrayPointerElement(array, i));
    }
    FreeMemory(array);
}

}  // namespace lyra
