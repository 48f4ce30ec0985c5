// The thread library: LaunchThread, and the critical-section list that the
// library tears down at shutdown.
#pragma once

#include "runtime/values.h"

namespace lyra {

// LaunchThread(subroutine pointer, [parameter], [address of a handle variable]) -> logical.
// The handle variable is pointer-sized (a HANDLE): 32 bits on the 32-bit build.
void LaunchThread(ValueRecord* result, int32_t count, ValueRecord* args);

// Deletes every critical section the library made and empties the list.
void ReleaseCriticalSections();
// Adds a new critical section to the list; for locking commands.
void* NewListedCriticalSection();

}  // namespace lyra
