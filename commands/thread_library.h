// The thread library: LaunchThread.
#pragma once

#include "runtime/values.h"

namespace lyra {

// LaunchThread(subroutine pointer, [parameter], [address of a handle variable]) -> logical.
// The handle variable is 32 bits on every build, as the program's integer
// variables are: the handle is written as its low 32 bits.
void LaunchThread(ValueRecord* result, int32_t count, ValueRecord* args);

}  // namespace lyra
