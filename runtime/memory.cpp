#include "runtime/memory.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "runtime/errors.h"
#include "runtime/values.h"

namespace lyra {

namespace {

// Ranges are added at start-up and stay until the process ends: a worker
// still running during shutdown may free a constant. Every free reads them,
// from any thread, so readers take no lock; a range is stored before the
// count that makes it visible.
constexpr size_t kMaxStaticRanges = 16;
struct StaticRange {
    std::atomic<const uint8_t*> start{nullptr};
    std::atomic<const uint8_t*> end{nullptr};
};
StaticRange gStaticRanges[kMaxStaticRanges];
std::atomic<size_t> gStaticRangeCount{0};
std::mutex gStaticRangeWriters;

std::atomic<uint32_t> gFailureCountdown{0};

bool ShouldFailThisAllocation() {
    uint32_t current = gFailureCountdown.load();
    while (current != 0) {
        if (gFailureCountdown.compare_exchange_weak(current, current - 1)) return current == 1;
    }
    return false;
}

[[noreturn]] void ReportAllocationFailure(size_t n) {
    char message[64];
    std::snprintf(message, sizeof message, "分配 %lld 字节内存失败!", static_cast<long long>(n));
    ReportError(message, 0);
}

}  // namespace

void SetAllocationFailureCountdown(uint32_t countdown) { gFailureCountdown.store(countdown); }

void* TryAllocMemory(size_t n) {
    if (ShouldFailThisAllocation()) return nullptr;
    return PlatformHeapAlloc(n);
}

void* AllocMemory(size_t n) {
    void* block = TryAllocMemory(n);
    if (block == nullptr) ReportAllocationFailure(n);
    return block;
}

void* ReallocMemory(void* p, size_t n) {
    if (p == nullptr) return AllocMemory(n);
    if (const uint8_t* end = StaticRangeEnd(p)) {
        void* copy = AllocMemory(n);
        size_t available = static_cast<size_t>(end - static_cast<const uint8_t*>(p));
        std::memcpy(copy, p, std::min(n, available));
        return copy;
    }
    void* block = ShouldFailThisAllocation() ? nullptr : PlatformHeapRealloc(p, n);
    if (block == nullptr) ReportAllocationFailure(n);
    return block;
}

void FreeMemory(void* p) {
    if (p == nullptr || IsStaticBlock(p)) return;
    PlatformHeapFree(p);
}

void AddStaticRange(const void* start, size_t size) {
    std::lock_guard<std::mutex> lock(gStaticRangeWriters);
    size_t count = gStaticRangeCount.load();
    if (count == kMaxStaticRanges || size == 0) return;
    const uint8_t* begin = static_cast<const uint8_t*>(start);
    gStaticRanges[count].start.store(begin);
    gStaticRanges[count].end.store(begin + size);
    gStaticRangeCount.store(count + 1);
}

const uint8_t* StaticRangeEnd(const void* p) {
    const uint8_t* address = static_cast<const uint8_t*>(p);
    size_t count = gStaticRangeCount.load();
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* start = gStaticRanges[i].start.load();
        const uint8_t* end = gStaticRanges[i].end.load();
        if (std::less_equal<const uint8_t*>()(start, address) && std::less<const uint8_t*>()(address, end)) {
            return end;
        }
    }
    return nullptr;
}

void MakeArrayWritable(size_t elementSize, void** arrayPointer) {
    void* array = *arrayPointer;
    if (array == nullptr || !IsStaticBlock(array)) return;
    uint64_t size = ArrayBlockSize(array, elementSize);
    if (size == 0) return;
    void* copy = AllocMemory(static_cast<size_t>(size));
    std::memcpy(copy, array, static_cast<size_t>(size));
    *arrayPointer = copy;
}

}  // namespace lyra
