// The shared invoke routine of the COM property and method commands, and
// the per-thread last COM error it leaves behind. Internal to the commands.
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace lyra::com {

enum class CallMode { PropertyGet, PropertyPut, MethodCall };

// Calls member args[1] (a text) of the ComObject value args[0] with the
// arguments args[2..count-1]. result->type is preset to the requested result
// type, or 0 when no result is wanted; on failure the result is the empty
// value of that type. Sets the thread's last COM error.
void InvokeMember(ValueRecord* result, int32_t count, ValueRecord* args, CallMode mode);

void SetLastComError(int32_t code);

}  // namespace lyra::com
