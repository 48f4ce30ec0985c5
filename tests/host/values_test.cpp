#include <gtest/gtest.h>

#include <cstring>

#include "runtime/memory.h"
#include "runtime/program_image.h"
#include "runtime/runtime_state.h"
#include "runtime/values.h"

namespace lyra {
namespace {

uint32_t Word(const void* block, size_t index) {
    uint32_t v;
    std::memcpy(&v, static_cast<const uint8_t*>(block) + 4 * index, 4);
    return v;
}

TEST(ValueRecords, ArgumentRecordsHoldTheirDatumAndTypeCode) {
    ValueRecord integer = IntArg(5);
    EXPECT_EQ(LowWord(integer), 5u);
    EXPECT_EQ(HighWord(integer), 0u);
    EXPECT_EQ(integer.type, 0x80000301u);

    const char* text = "abc";
    ValueRecord textArg = TextArg(text);
    EXPECT_EQ(RecordText(textArg), text);
    EXPECT_EQ(textArg.type, 0x80000004u);
    if (sizeof(void*) == 4) {
        EXPECT_EQ(HighWord(textArg), 0u);
    }

    ValueRecord omitted = EmptyRecord();
    EXPECT_EQ(LowWord(omitted), 0u);
    EXPECT_EQ(HighWord(omitted), 0u);
    EXPECT_EQ(omitted.type, 0u);
    EXPECT_FALSE(IsPresent(omitted));

    ValueRecord negative = IntArg(-2);
    EXPECT_EQ(RecordInt(negative), -2);
    EXPECT_EQ(HighWord(negative), 0u) << "a 32-bit value leaves the high word zero";

    ValueRecord number = DoubleArg(1.5);
    EXPECT_EQ(RecordDouble(number), 1.5);
    ValueRecord textNull = TextArg(nullptr);
    ASSERT_NE(RecordText(textNull), nullptr) << "a null text is passed as the empty text";
    EXPECT_EQ(RecordText(textNull)[0], 0);
}

TEST(ValueRecords, TypedArgumentsWidenByType) {
    TypedCallRecord r{};
    uint32_t low = 0xFFu;
    std::memcpy(r.datum, &low, 4);
    r.type = kTypeByte;
    EXPECT_EQ(TypedArgumentWord(r), 255) << "byte zero-extends";

    low = 0xFFFF;
    std::memcpy(r.datum, &low, 4);
    r.type = kTypeShort;
    EXPECT_EQ(TypedArgumentWord(r), -1) << "short sign-extends";

    int64_t both = 0x123456789ABCDEFLL;
    std::memcpy(r.datum, &both, 8);
    r.type = kTypeLong;
    EXPECT_EQ(TypedArgumentWord(r), both);
    r.type = kTypeInt;
    EXPECT_EQ(TypedArgumentWord(r), static_cast<int32_t>(0x89ABCDEF)) << "an integer passes its low word";
    r.flags = 2;
    EXPECT_EQ(TypedArgumentWord(r), both) << "flag bit 1 passes both words";
    r.flags = 0;
    r.type = 0x10003;
    EXPECT_EQ(TypedArgumentWord(r), both);

    // Library types hold addresses: a whole pointer, not its low half.
    int value = 0;
    std::memset(r.datum, 0, sizeof r.datum);
    uintptr_t address = reinterpret_cast<uintptr_t>(&value);
    std::memcpy(r.datum, &address, sizeof address);
    for (uint32_t type : {uint32_t{kTypeComObject}, uint32_t{kTypeVariant}, 0x20001u}) {
        r.type = type;
        EXPECT_EQ(TypedArgumentWord(r), static_cast<int64_t>(reinterpret_cast<intptr_t>(&value))) << std::hex << type;
    }
}

TEST(ValueLayouts, ByteSetAndArraySizes) {
    const uint8_t bytes[3] = {7, 8, 9};
    void* set = MakeByteSet(bytes, 3);
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(Word(set, 0), 1u);
    EXPECT_EQ(Word(set, 1), 3u);
    EXPECT_EQ(std::memcmp(ByteSetBytes(set), bytes, 3), 0);
    EXPECT_EQ(ArrayBlockSize(set, 1), 11u) << "a 3-byte set occupies 11 bytes";
    FreeMemory(set);

    EXPECT_EQ(MakeByteSet(bytes, 0), nullptr);

    int32_t matrix[2 + 1 + 6] = {2, 2, 3, 1, 2, 3, 4, 5, 6};
    EXPECT_EQ(ArrayElementCount(matrix), 6u);
    EXPECT_EQ(ArrayBlockSize(matrix, 4), 36u) << "2 x 3 integers: 4 + 8 + 24";
    int32_t empty[1] = {0};
    EXPECT_EQ(ArrayElementCount(empty), 0u);
    EXPECT_EQ(ArrayElementCount(nullptr), 0u);
}

TEST(ValueLayouts, MakeTextCopiesOrAnswersNull) {
    EXPECT_EQ(MakeText(""), nullptr);
    EXPECT_EQ(MakeText(nullptr), nullptr);
    EXPECT_EQ(MakeText("abc", 0), nullptr);
    char* copy = MakeText("abcdef", 3);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, "abc");
    FreeMemory(copy);
}

TEST(ValueLayouts, FreeArrayFreesTextElementsFirst) {
    // Under AddressSanitizer a leaked element or a double free fails the test.
    void* array = MakeArray(3, sizeof(void*));
    SetArrayPointerElement(array, 0, MakeText("one"));
    SetArrayPointerElement(array, 1, nullptr);
    SetArrayPointerElement(array, 2, MakeText("three"));
    EXPECT_EQ(ArrayElementCount(array), 3u);
    EXPECT_STREQ(static_cast<const char*>(ArrayPointerElement(array, 2)), "three");
    FreeArray(kArrayFlag | kTypeText, array);

    void* numbers = MakeArray(2, 4);
    FreeArray(kTypeInt, numbers);
    FreeArray(kTypeText, nullptr);
}

TEST(TypeCodes, ClassesAndElementSizes) {
    EXPECT_EQ(ClassOfType(0), TypeClass::None);
    EXPECT_EQ(ClassOfType(kTypeText), TypeClass::Basic);
    EXPECT_EQ(ClassOfType(0x40000001), TypeClass::UserDefined);
    EXPECT_EQ(ClassOfType(0x10003), TypeClass::Library);
    EXPECT_EQ(ClassOfType(0xC0010003), TypeClass::Library);
    EXPECT_TRUE(IsArrayType(kArrayFlag | kTypeText));
    EXPECT_EQ(ElementType(kArrayFlag | kTypeText), kTypeText);

    EXPECT_EQ(NumericElementSize(kTypeByte), 1u);
    EXPECT_EQ(NumericElementSize(kTypeShort), 2u);
    EXPECT_EQ(NumericElementSize(kTypeInt), 4u);
    EXPECT_EQ(NumericElementSize(kTypeLong), 8u);
    EXPECT_EQ(NumericElementSize(kTypeFloat), 4u);
    EXPECT_EQ(NumericElementSize(kTypeDouble), 8u);
    EXPECT_EQ(NumericElementSize(kTypeText), 0u);
    EXPECT_EQ(NumericElementSize(kTypeBool), 0u);
    EXPECT_EQ(ArrayElementSize(kTypeText), sizeof(void*));
}

TEST(TypeCodes, LibraryTypeCodesAreBoundedByTheLibrariesTypeCounts) {
    static DataTypeRecord coreTypes[51];
    static DataTypeRecord ui1Types[5];
    static DataTypeRecord ui2Types[9];
    LibraryRecord core{}, ui1{}, ui2{}, thread{};
    core.dataTypeCount = 51;
    core.dataTypes = coreTypes;
    ui1.dataTypeCount = 5;
    ui1.dataTypes = ui1Types;
    ui2.dataTypeCount = 9;
    ui2.dataTypes = ui2Types;
    RuntimeState& runtime = Runtime();
    auto saved = runtime.libraries;
    runtime.libraries = {&core, &ui1, &ui2, &thread};

    EXPECT_EQ(DataTypeRecordOf(0x10003), &coreTypes[2]);
    EXPECT_EQ(DataTypeRecordOf(0x10033), &coreTypes[50]) << "type 51 is the last core type";
    EXPECT_EQ(DataTypeRecordOf(0x10034), nullptr) << "type 52 does not exist";
    EXPECT_EQ(DataTypeRecordOf(0x10000), nullptr) << "type numbers start at 1";
    EXPECT_EQ(DataTypeRecordOf(0x20004), &ui1Types[3]);
    EXPECT_EQ(DataTypeRecordOf(0x30001), &ui2Types[0]);
    EXPECT_EQ(DataTypeRecordOf(0x40001), nullptr) << "the thread library has no types";
    EXPECT_EQ(DataTypeRecordOf(0x50001), nullptr) << "no fifth library";
    EXPECT_EQ(DataTypeRecordOf(kTypeText), nullptr);
    EXPECT_EQ(DataTypeRecordOf(0x40000001), nullptr);

    runtime.libraries = saved;
}

}  // namespace
}  // namespace lyra
