// The one place where the runtime calls an external function with a list
// of argument words, and checks afterwards that the stack is where it was.
// Platform-free: the i686 Windows build and a native i686 test build both
// compile the same assembly.
#pragma once

#include <cstdint>

namespace lyra {

// More words than this cannot be passed to an external function.
constexpr int kMaxExternalArguments = 16;

// Who removes the argument words after the call: the callee (WINAPI, the
// convention of every external function the application declares) or the
// caller (the C convention).
enum class ArgumentCleanup { kCallee, kCaller };

// Calls address with the words pushed last first, as the declared convention
// expects, and puts the stack pointer back where it was whatever the callee
// did. False when the callee removed more or fewer bytes than the declared
// convention says (only detectable on 32-bit x86, where the callee can; a
// caller-cleaned function never moves the stack, so a wrong word count
// there goes unseen), or when argCount is out of range.
bool CallWithStackCheck(void* address, int argCount, const intptr_t* args, intptr_t* result,
                        ArgumentCleanup cleanup = ArgumentCleanup::kCallee);

// CallWithStackCheck of a WINAPI function; an unbalanced call is runtime
// error 6 and does not return.
intptr_t CallCheckedOrFail(void* address, int argCount, const intptr_t* args);

}  // namespace lyra
