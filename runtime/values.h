// Tagged values: the 12-byte argument/result record, the 16-byte typed call
// record, and the heap layouts of texts, byte sets and arrays.
//
// A record's datum is 8 bytes. Pointers fill the whole datum; on a 32-bit
// build that is the low word with a zero high word. No other code does
// pointer arithmetic on records: everything goes through these accessors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lyra {

enum TypeCode : uint32_t {
    kTypeNone = 0,
    kTypeBool = 0x80000002,
    kTypeDateTime = 0x80000003,
    kTypeText = 0x80000004,
    kTypeByteSet = 0x80000005,
    kTypeRoutine = 0x80000006,
    kTypeEightBytes = 0x80000008,
    kTypeByte = 0x80000101,
    kTypeShort = 0x80000201,
    kTypeInt = 0x80000301,
    kTypeLong = 0x80000401,
    kTypeFloat = 0x80000501,
    kTypeDouble = 0x80000601,
    kTypeComObject = 0x10030,
    kTypeVariant = 0x10031,
};

constexpr uint32_t kArrayFlag = 0x20000000;

inline bool IsArrayType(uint32_t type) { return (type & kArrayFlag) != 0; }
inline uint32_t ElementType(uint32_t type) { return type & ~kArrayFlag; }

enum class TypeClass { None = 0, Basic = 1, UserDefined = 2, Library = 3 };
TypeClass ClassOfType(uint32_t type);

// 1, 2, 4 or 8 for the six numeric basic types, 0 for everything else.
size_t NumericElementSize(uint32_t type);

// Size of an array element: numeric sizes, one pointer for texts and byte sets.
size_t ArrayElementSize(uint32_t elementType);

struct ValueRecord {
    uint8_t datum[8];
    uint32_t type;
};
static_assert(sizeof(ValueRecord) == 12, "argument records are 12 bytes");

struct TypedCallRecord {
    uint8_t datum[8];
    uint32_t type;
    uint32_t flags;
};
static_assert(sizeof(TypedCallRecord) == 16, "typed call records are 16 bytes");

inline ValueRecord EmptyRecord() { return ValueRecord{{0}, 0}; }
inline bool IsPresent(const ValueRecord& r) { return r.type != kTypeNone; }

inline uint32_t LowWord(const ValueRecord& r) {
    uint32_t v;
    std::memcpy(&v, r.datum, 4);
    return v;
}
inline uint32_t HighWord(const ValueRecord& r) {
    uint32_t v;
    std::memcpy(&v, r.datum + 4, 4);
    return v;
}
inline int32_t RecordInt(const ValueRecord& r) { return static_cast<int32_t>(LowWord(r)); }
inline int64_t RecordLong(const ValueRecord& r) {
    int64_t v;
    std::memcpy(&v, r.datum, 8);
    return v;
}
inline double RecordDouble(const ValueRecord& r) {
    double v;
    std::memcpy(&v, r.datum, 8);
    return v;
}
inline float RecordFloat(const ValueRecord& r) {
    float v;
    std::memcpy(&v, r.datum, 4);
    return v;
}
inline void* RecordPointer(const ValueRecord& r) {
    uintptr_t v;
    std::memcpy(&v, r.datum, sizeof v);
    return reinterpret_cast<void*>(v);
}
inline const char* RecordText(const ValueRecord& r) { return static_cast<const char*>(RecordPointer(r)); }

inline void SetRecordWords(ValueRecord& r, uint32_t low, uint32_t high, uint32_t type) {
    std::memcpy(r.datum, &low, 4);
    std::memcpy(r.datum + 4, &high, 4);
    r.type = type;
}
inline void SetRecordInt(ValueRecord& r, int32_t v, uint32_t type = kTypeInt) {
    SetRecordWords(r, static_cast<uint32_t>(v), 0, type);
}
inline void SetRecordLong(ValueRecord& r, int64_t v, uint32_t type = kTypeLong) {
    std::memcpy(r.datum, &v, 8);
    r.type = type;
}
inline void SetRecordDouble(ValueRecord& r, double v, uint32_t type = kTypeDouble) {
    std::memcpy(r.datum, &v, 8);
    r.type = type;
}
inline void SetRecordFloat(ValueRecord& r, float v, uint32_t type = kTypeFloat) {
    std::memset(r.datum, 0, 8);
    std::memcpy(r.datum, &v, 4);
    r.type = type;
}
inline void SetRecordPointer(ValueRecord& r, const void* p, uint32_t type) {
    std::memset(r.datum, 0, 8);
    uintptr_t v = reinterpret_cast<uintptr_t>(p);
    std::memcpy(r.datum, &v, sizeof v);
    r.type = type;
}

inline ValueRecord IntArg(int32_t v) {
    ValueRecord r;
    SetRecordInt(r, v);
    return r;
}
inline ValueRecord BoolArg(bool v) {
    ValueRecord r;
    SetRecordInt(r, v ? 1 : 0, kTypeBool);
    return r;
}
inline ValueRecord DoubleArg(double v) {
    ValueRecord r;
    SetRecordDouble(r, v);
    return r;
}
inline ValueRecord TextArg(const char* text) {
    ValueRecord r;
    SetRecordPointer(r, text ? text : "", kTypeText);
    return r;
}
inline ValueRecord PointerArg(const void* p, uint32_t type) {
    ValueRecord r;
    SetRecordPointer(r, p, type);
    return r;
}

// Typed call records share the datum layout.
inline uint32_t LowWord(const TypedCallRecord& r) {
    uint32_t v;
    std::memcpy(&v, r.datum, 4);
    return v;
}
inline int64_t RecordLong(const TypedCallRecord& r) {
    int64_t v;
    std::memcpy(&v, r.datum, 8);
    return v;
}
inline uintptr_t RecordWord(const TypedCallRecord& r) {
    uintptr_t v;
    std::memcpy(&v, r.datum, sizeof v);
    return v;
}

// The machine word a typed call record becomes when it is passed to an
// application subroutine: byte zero-extended, short sign-extended, the 8-byte
// types whole, pointers (texts, byte sets, routines, arrays and library
// types) whole, every other type as its low word.
int64_t TypedArgumentWord(const TypedCallRecord& r);

// ---- Heap layouts ----

// Byte set: {int32 1, int32 n, n bytes}.
int32_t ByteSetLength(const void* byteSet);
const uint8_t* ByteSetBytes(const void* byteSet);

// Array: {int32 d, int32 sizes[d], elements}. Null has no elements.
int32_t ArrayDimensionCount(const void* array);
// Product of the dimension sizes; 0 for null or d == 0.
uint64_t ArrayElementCount(const void* array);
uint8_t* ArrayElements(void* array);
const uint8_t* ArrayElements(const void* array);
// Bytes from the start of the block to the end of its elements.
uint64_t ArrayBlockSize(const void* array, size_t elementSize);

inline void* ArrayPointerElement(const void* array, uint64_t index) {
    uintptr_t v;
    std::memcpy(&v, ArrayElements(array) + index * sizeof(void*), sizeof v);
    return reinterpret_cast<void*>(v);
}
inline void SetArrayPointerElement(void* array, uint64_t index, const void* p) {
    uintptr_t v = reinterpret_cast<uintptr_t>(p);
    std::memcpy(ArrayElements(array) + index * sizeof(void*), &v, sizeof v);
}

// New texts and byte sets from the memory services. Null for an empty source.
char* MakeText(const char* bytes, size_t length);
char* MakeText(const char* source);
void* MakeByteSet(const void* bytes, size_t n);
// An empty one-dimensional array with room for count elements of elementSize.
void* MakeArray(uint32_t count, size_t elementSize);

// Frees each text or byte set element first, then the block.
void FreeArray(uint32_t elementType, void* array);

}  // namespace lyra
