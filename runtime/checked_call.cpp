#include "runtime/checked_call.h"

#include "runtime/errors.h"

namespace lyra {

#if defined(__i386__)

bool CallWithStackCheck(void* address, int argCount, const intptr_t* args, intptr_t* result,
                        ArgumentCleanup cleanup) {
    if (argCount < 0 || argCount > kMaxExternalArguments) return false;
    // The arguments are pushed last first and the stack pointer compared
    // after the call with where it stood before the pushes. The stack
    // pointer is restored either way.
    intptr_t value;
    intptr_t difference;
    __asm__ volatile(
        "movl %%esp, %%edi\n\t"
        "1:\n\t"
        "testl %%ecx, %%ecx\n\t"
        "jz 2f\n\t"
        "pushl -4(%%esi,%%ecx,4)\n\t"
        "decl %%ecx\n\t"
        "jmp 1b\n\t"
        "2:\n\t"
        "call *%%ebx\n\t"
        "movl %%esp, %%ecx\n\t"
        "subl %%edi, %%ecx\n\t"
        "movl %%edi, %%esp\n\t"
        : "=a"(value), "=c"(difference)
        : "b"(address), "1"(argCount), "S"(args)
        : "edi", "edx", "memory", "cc");
    *result = value;
    // A callee that cleans up leaves the stack as it was before the pushes;
    // one that does not leaves every pushed word.
    intptr_t expected = cleanup == ArgumentCleanup::kCallee ? 0 : -4 * static_cast<intptr_t>(argCount);
    return difference == expected;
}

#else

bool CallWithStackCheck(void* address, int argCount, const intptr_t* args, intptr_t* result, ArgumentCleanup) {
    if (argCount < 0 || argCount > kMaxExternalArguments) return false;
    // x86-64 has one calling convention, in which the caller owns the
    // argument area: the callee cannot unbalance the stack, and words beyond
    // those it declares are simply not read.
    intptr_t w[kMaxExternalArguments] = {};
    for (int i = 0; i < argCount; ++i) w[i] = args[i];
    using W = intptr_t;
    using Sixteen = W (*)(W, W, W, W, W, W, W, W, W, W, W, W, W, W, W, W);
    *result = reinterpret_cast<Sixteen>(address)(w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8], w[9], w[10],
                                                 w[11], w[12], w[13], w[14], w[15]);
    return true;
}

#endif

intptr_t CallCheckedOrFail(void* address, int argCount, const intptr_t* args) {
    intptr_t result = 0;
    if (!CallWithStackCheck(address, argCount, args, &result)) ReportRuntimeError(6);
    return result;
}

}  // namespace lyra
