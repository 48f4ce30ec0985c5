// Memory services: every block handed to the application, the commands and
// the libraries comes from here. Blocks inside a static range (the constant
// segment) are never freed or resized in place.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lyra {

// Never null: failure is the runtime error "分配 %d 字节内存失败!".
void* AllocMemory(size_t n);
// Null on failure instead of the runtime error (kRequestAllocate with param2 != 0).
void* TryAllocMemory(size_t n);
void* ReallocMemory(void* p, size_t n);
void FreeMemory(void* p);

void AddStaticRange(const void* start, size_t size);
// End of the first static range holding p, or null when p is not static.
const uint8_t* StaticRangeEnd(const void* p);
inline bool IsStaticBlock(const void* p) { return StaticRangeEnd(p) != nullptr; }

// Copies a possibly constant array to the heap before it is changed.
void MakeArrayWritable(size_t elementSize, void** arrayPointer);

// Test hook: the countdown-th allocation from now on fails (0 disables).
void SetAllocationFailureCountdown(uint32_t countdown);

// The platform heap underneath (process heap on Windows, malloc elsewhere).
void* PlatformHeapAlloc(size_t n);
void* PlatformHeapRealloc(void* p, size_t n);
void PlatformHeapFree(void* p);

}  // namespace lyra
