// The thread library: LaunchThread, and the critical-section list that the
// library tears down at shutdown.
#pragma once

#include "runtime/values.h"

namespace lyra {

// LaunchThread(subroutine pointer, [parameter], [address of a handle variable]) -> logical.
// The handle variable is 32 bits on every build, as the program's integer
// variables are: the handle is written as its low 32 bits.
void LaunchThread(ValueRecord* result, int32_t count, ValueRecord* args);

// Deletes every critical section on the list and empties it (notify 6).
void ReleaseCriticalSections();
// A new critical section on the list. No command of the program makes one:
// the list stays empty unless a test fills it.
void* NewListedCriticalSection();

}  // namespace lyra
