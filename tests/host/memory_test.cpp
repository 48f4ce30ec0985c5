#include <gtest/gtest.h>

#include <cstring>

#include "runtime/memory.h"
#include "runtime/values.h"

namespace lyra {
namespace {

// A stand-in constant segment.
alignas(8) uint8_t gSegment[256];

class StaticBlocks : public ::testing::Test {
protected:
    void SetUp() override {
        for (size_t i = 0; i < sizeof gSegment; ++i) gSegment[i] = static_cast<uint8_t>(i);
        // Ranges are never forgotten, as in the runtime: the segment is added once.
        static const bool added = (AddStaticRange(gSegment, sizeof gSegment), true);
        (void)added;
    }
};

TEST_F(StaticBlocks, StaticRangeIsHalfOpen) {
    EXPECT_EQ(StaticRangeEnd(gSegment), gSegment + sizeof gSegment);
    EXPECT_TRUE(IsStaticBlock(gSegment + 255));
    EXPECT_FALSE(IsStaticBlock(gSegment + 256));
    EXPECT_FALSE(IsStaticBlock(gSegment - 1));
}

TEST_F(StaticBlocks, ReallocOfAStaticBlockCopiesOut) {
    uint8_t* p = gSegment + 10;
    auto* copy = static_cast<uint8_t*>(ReallocMemory(p, 100));
    ASSERT_NE(copy, p);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(copy[i], static_cast<uint8_t>(10 + i));
    FreeMemory(copy);

    // Near the end only the bytes up to the segment's end are copied.
    uint8_t* tail = gSegment + 250;
    auto* copy2 = static_cast<uint8_t*>(ReallocMemory(tail, 100));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(copy2[i], static_cast<uint8_t>(250 + i));
    FreeMemory(copy2);
    for (size_t i = 0; i < sizeof gSegment; ++i) ASSERT_EQ(gSegment[i], static_cast<uint8_t>(i)) << "segment unchanged";
}

TEST_F(StaticBlocks, FreeingAStaticBlockDoesNothingAnyNumberOfTimes) {
    FreeMemory(gSegment + 3);
    FreeMemory(gSegment + 3);
    FreeMemory(nullptr);
    EXPECT_EQ(gSegment[3], 3);
}

TEST_F(StaticBlocks, MakeArrayWritableCopiesOnlyConstantArrays) {
    int32_t words[2 + 3] = {1, 3, 10, 20, 30};
    std::memcpy(gSegment, words, sizeof words);
    void* array = gSegment;
    MakeArrayWritable(4, &array);
    ASSERT_NE(array, static_cast<void*>(gSegment));
    EXPECT_FALSE(IsStaticBlock(array));
    EXPECT_EQ(std::memcmp(array, words, 20), 0) << "4 + 4 + 12 bytes copied";
    void* same = array;
    MakeArrayWritable(4, &array);
    EXPECT_EQ(array, same) << "a heap array stays where it is";
    FreeMemory(array);

    void* none = nullptr;
    MakeArrayWritable(4, &none);
    EXPECT_EQ(none, nullptr);
}

TEST(Memory, ReallocOfNullAllocates) {
    void* p = ReallocMemory(nullptr, 16);
    ASSERT_NE(p, nullptr);
    std::memset(p, 1, 16);
    p = ReallocMemory(p, 4096);
    FreeMemory(p);
}

TEST(Memory, TryAllocAnswersNullWhereAllocWouldReport) {
    SetAllocationFailureCountdown(1);
    EXPECT_EQ(TryAllocMemory(10), nullptr);
    void* p = TryAllocMemory(10);
    EXPECT_NE(p, nullptr) << "only the chosen allocation fails";
    FreeMemory(p);
}

TEST(MemoryDeathTest, AllocationFailureIsAFatalRuntimeError) {
    EXPECT_EXIT(
        {
            SetAllocationFailureCountdown(1);
            AllocMemory(1234);
        },
        ::testing::ExitedWithCode(255), "1234");
}

TEST(MemoryDeathTest, ReallocFailureIsAFatalRuntimeError) {
    EXPECT_EXIT(
        {
            void* p = AllocMemory(8);
            SetAllocationFailureCountdown(1);
            ReallocMemory(p, 4321);
        },
        ::testing::ExitedWithCode(255), "4321");
}

}  // namespace
}  // namespace lyra
