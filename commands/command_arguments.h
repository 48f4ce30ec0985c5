// Reading a command's argument records and writing its result record.
//
// An argument is present when it exists (index below the count) and its type
// word is not 0. Texts and byte sets are read only from records of their own
// type, so a record of any other type can never be taken for a pointer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/values.h"

namespace lyra {

inline const ValueRecord* ArgumentAt(int32_t count, const ValueRecord* args, int32_t index) {
    if (args == nullptr || index < 0 || index >= count) return nullptr;
    return &args[index];
}

inline bool ArgumentPresent(int32_t count, const ValueRecord* args, int32_t index) {
    const ValueRecord* arg = ArgumentAt(count, args, index);
    return arg != nullptr && IsPresent(*arg);
}

// The low data word as a signed integer; the fallback when the argument is absent.
inline int32_t IntArgument(int32_t count, const ValueRecord* args, int32_t index, int32_t absent) {
    const ValueRecord* arg = ArgumentAt(count, args, index);
    return arg != nullptr && IsPresent(*arg) ? RecordInt(*arg) : absent;
}

// The low data word, whatever the type; 0 when the record is missing.
inline uint32_t DataWordArgument(int32_t count, const ValueRecord* args, int32_t index) {
    const ValueRecord* arg = ArgumentAt(count, args, index);
    return arg != nullptr ? LowWord(*arg) : 0;
}

// Never null: "" for an absent argument, a null text or another type.
inline const char* TextArgument(int32_t count, const ValueRecord* args, int32_t index) {
    const ValueRecord* arg = ArgumentAt(count, args, index);
    if (arg == nullptr || arg->type != kTypeText) return "";
    const char* text = RecordText(*arg);
    return text != nullptr ? text : "";
}

struct ByteSpan {
    const uint8_t* data;
    size_t size;
};

// The bytes of a byte-set argument; empty for an absent argument, a null
// byte set or another type.
inline ByteSpan ByteSetArgument(int32_t count, const ValueRecord* args, int32_t index) {
    const ValueRecord* arg = ArgumentAt(count, args, index);
    if (arg == nullptr || arg->type != kTypeByteSet) return {nullptr, 0};
    const void* set = RecordPointer(*arg);
    int32_t n = ByteSetLength(set);
    if (set == nullptr || n <= 0) return {nullptr, 0};
    return {ByteSetBytes(set), static_cast<size_t>(n)};
}

// Results keep the type word 0.
inline void SetIntResult(ValueRecord* result, int32_t value) {
    SetRecordWords(*result, static_cast<uint32_t>(value), 0, kTypeNone);
}
inline void SetBoolResult(ValueRecord* result, bool value) { SetIntResult(result, value ? 1 : 0); }
inline void SetPointerResult(ValueRecord* result, const void* block) { SetRecordPointer(*result, block, kTypeNone); }

}  // namespace lyra
