// Calling a command the way the command services do, and taking its result.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "runtime/memory.h"
#include "runtime/program_image.h"
#include "runtime/values.h"

namespace lyra::test {

inline ValueRecord Absent() { return EmptyRecord(); }
inline ValueRecord Int(int32_t v) { return IntArg(v); }
inline ValueRecord Bool(bool v) { return BoolArg(v); }
inline ValueRecord Text(const char* t) { return TextArg(t); }
inline ValueRecord Text(const std::string& t) { return TextArg(t.c_str()); }
inline ValueRecord Words(uint32_t low, uint32_t high, uint32_t type) {
    ValueRecord r;
    SetRecordWords(r, low, high, type);
    return r;
}

// A zeroed result record, the command called, the type word checked.
inline ValueRecord Call(CommandFunction command, std::vector<ValueRecord> args) {
    ValueRecord result;
    SetRecordWords(result, 0, 0, 0);
    command(&result, static_cast<int32_t>(args.size()), args.empty() ? nullptr : args.data());
    EXPECT_EQ(result.type, 0u) << "the result's type word stays 0";
    return result;
}

inline int32_t CallInt(CommandFunction command, std::vector<ValueRecord> args) {
    ValueRecord result = Call(command, std::move(args));
    EXPECT_EQ(HighWord(result), 0u);
    return RecordInt(result);
}

// The text result, freed. An empty text must come back as null.
inline std::string CallText(CommandFunction command, std::vector<ValueRecord> args) {
    ValueRecord result = Call(command, std::move(args));
    char* text = static_cast<char*>(RecordPointer(result));
    if (text == nullptr) return std::string();
    std::string copy(text);
    EXPECT_FALSE(copy.empty()) << "an empty text result is null, not an allocated empty text";
    FreeMemory(text);
    return copy;
}

// The byte-set result as a string of its bytes, freed. Empty must be null.
inline std::string CallBytes(CommandFunction command, std::vector<ValueRecord> args) {
    ValueRecord result = Call(command, std::move(args));
    void* set = RecordPointer(result);
    if (set == nullptr) return std::string();
    int32_t header[2];
    std::memcpy(header, set, 8);
    EXPECT_EQ(header[0], 1);
    EXPECT_GT(header[1], 0) << "an empty byte set result is null";
    std::string bytes(reinterpret_cast<const char*>(ByteSetBytes(set)), static_cast<size_t>(header[1]));
    FreeMemory(set);
    return bytes;
}

// A byte set built on the heap for an argument; freed by its owner.
class ByteSetValue {
public:
    explicit ByteSetValue(const std::string& bytes) : block_(MakeByteSet(bytes.data(), bytes.size())) {}
    ~ByteSetValue() { FreeMemory(block_); }
    ByteSetValue(const ByteSetValue&) = delete;
    ByteSetValue& operator=(const ByteSetValue&) = delete;
    ValueRecord Arg() const { return PointerArg(block_, kTypeByteSet); }

private:
    void* block_;
};

}  // namespace lyra::test
