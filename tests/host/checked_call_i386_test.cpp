// The external call path built for i686 Linux and run under qemu-i386: the
// one build where the stack check can see a callee that removes the wrong
// number of bytes. No test framework exists for this target here, so the
// program checks and counts for itself and answers 0 when every case held.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/checked_call.h"

#if !defined(__i386__)
#error "this test is built for 32-bit x86 only"
#endif

namespace {

using lyra::ArgumentCleanup;
using lyra::CallWithStackCheck;

int gFailures = 0;

void Check(bool condition, const std::string& what) {
    if (!condition) {
        std::printf("FAILED: %s\n", what.c_str());
        ++gFailures;
    }
}

// Each function answers a sum that depends on every argument and on its
// position, so a word lost or shifted shows in the result.
#define WEIGHT(k, a) ((k) * 1000 + (a))
#define DEFINE_PAIR(n, params, body)                                                            \
    extern "C" __attribute__((stdcall, noinline)) int Callee##n params { return 7 + body; }   \
    extern "C" __attribute__((cdecl, noinline)) int Caller##n params { return 7 + body; }

DEFINE_PAIR(0, (), 0)
DEFINE_PAIR(1, (int a), WEIGHT(1, a))
DEFINE_PAIR(2, (int a, int b), WEIGHT(1, a) + WEIGHT(2, b))
DEFINE_PAIR(3, (int a, int b, int c), WEIGHT(1, a) + WEIGHT(2, b) + WEIGHT(3, c))
DEFINE_PAIR(4, (int a, int b, int c, int d), WEIGHT(1, a) + WEIGHT(2, b) + WEIGHT(3, c) + WEIGHT(4, d))
DEFINE_PAIR(5, (int a, int b, int c, int d, int e),
            WEIGHT(1, a) + WEIGHT(2, b) + WEIGHT(3, c) + WEIGHT(4, d) + WEIGHT(5, e))
DEFINE_PAIR(6, (int a, int b, int c, int d, int e, int f),
            WEIGHT(1, a) + WEIGHT(2, b) + WEIGHT(3, c) + WEIGHT(4, d) + WEIGHT(5, e) + WEIGHT(6, f))
DEFINE_PAIR(7, (int a, int b, int c, int d, int e, int f, int g),
            WEIGHT(1, a) + WEIGHT(2, b) + WEIGHT(3, c) + WEIGHT(4, d) + WEIGHT(5, e) + WEIGHT(6, f) + WEIGHT(7, g))
DEFINE_PAIR(8, (int a, int b, int c, int d, int e, int f, int g, int h),
            WEIGHT(1, a) + WEIGHT(2, b) + WEIGHT(3, c) + WEIGHT(4, d) + WEIGHT(5, e) + WEIGHT(6, f) + WEIGHT(7, g) +
                WEIGHT(8, h))

void* const kCallees[9] = {
    reinterpret_cast<void*>(&Callee0), reinterpret_cast<void*>(&Callee1), reinterpret_cast<void*>(&Callee2),
    reinterpret_cast<void*>(&Callee3), reinterpret_cast<void*>(&Callee4), reinterpret_cast<void*>(&Callee5),
    reinterpret_cast<void*>(&Callee6), reinterpret_cast<void*>(&Callee7), reinterpret_cast<void*>(&Callee8),
};
void* const kCallers[9] = {
    reinterpret_cast<void*>(&Caller0), reinterpret_cast<void*>(&Caller1), reinterpret_cast<void*>(&Caller2),
    reinterpret_cast<void*>(&Caller3), reinterpret_cast<void*>(&Caller4), reinterpret_cast<void*>(&Caller5),
    reinterpret_cast<void*>(&Caller6), reinterpret_cast<void*>(&Caller7), reinterpret_cast<void*>(&Caller8),
};

const intptr_t kArgs[16] = {11, 22, 33, 44, 55, 66, 77, 88, 99, 110, 121, 132, 143, 154, 165, 176};

intptr_t Expected(int n) {
    intptr_t sum = 7;
    for (int k = 1; k <= n; ++k) sum += WEIGHT(k, kArgs[k - 1]);
    return sum;
}

void CalledAsDeclared() {
    for (int n = 0; n <= 8; ++n) {
        std::string name = std::to_string(n) + " arguments";
        intptr_t result = -1;
        Check(CallWithStackCheck(kCallees[n], n, kArgs, &result, ArgumentCleanup::kCallee), "callee-cleans, " + name);
        Check(result == Expected(n), "callee-cleans result, " + name);
        result = -1;
        Check(CallWithStackCheck(kCallers[n], n, kArgs, &result, ArgumentCleanup::kCaller), "caller-cleans, " + name);
        Check(result == Expected(n), "caller-cleans result, " + name);
    }
}

// Returns through its own frame after every unbalanced call: were the stack
// pointer not put back, the locals and the return below would be lost.
__attribute__((noinline)) void CalledTheWrongWay() {
    volatile uint32_t canary = 0x5A5AA5A5u;
    intptr_t result = 0;
    for (int n = 1; n <= 8; ++n) {
        std::string name = std::to_string(n) + " arguments";
        Check(!CallWithStackCheck(kCallers[n], n, kArgs, &result, ArgumentCleanup::kCallee),
              "a caller-cleans function declared callee-cleans, " + name);
        Check(!CallWithStackCheck(kCallees[n], n, kArgs, &result, ArgumentCleanup::kCaller),
              "a callee-cleans function declared caller-cleans, " + name);
        Check(!CallWithStackCheck(kCallees[n], n - 1, kArgs, &result, ArgumentCleanup::kCallee),
              "one word too few, " + name);
        Check(!CallWithStackCheck(kCallees[n], n + 1, kArgs, &result, ArgumentCleanup::kCallee),
              "one word too many, " + name);
    }
    // With no arguments the two conventions are one.
    Check(CallWithStackCheck(kCallers[0], 0, kArgs, &result, ArgumentCleanup::kCallee), "no arguments, caller-cleans");
    Check(CallWithStackCheck(kCallees[0], 0, kArgs, &result, ArgumentCleanup::kCaller), "no arguments, callee-cleans");
    // A caller-cleans function never moves the stack: a wrong count there
    // cannot be seen, and the call is balanced all the same.
    Check(CallWithStackCheck(kCallers[3], 5, kArgs, &result, ArgumentCleanup::kCaller), "extra words, caller-cleans");
    Check(result == Expected(3), "extra words are not read");
    Check(!CallWithStackCheck(kCallees[2], 17, kArgs, &result, ArgumentCleanup::kCallee), "more than sixteen words");
    Check(!CallWithStackCheck(kCallees[2], -1, kArgs, &result, ArgumentCleanup::kCallee), "a negative count");
    Check(canary == 0x5A5AA5A5u, "the frame survives every unbalanced call");
    // After all that, calls still work.
    Check(CallWithStackCheck(kCallees[8], 8, kArgs, &result) && result == Expected(8), "a call after the failures");
}

// An unbalanced call through the runtime's own path is runtime error 6: the
// report on stderr (the native builds' error box) and exit code -1.
void UnbalancedCallIsRuntimeError6() {
    int output[2];
    if (pipe(output) != 0) {
        Check(false, "pipe");
        return;
    }
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        dup2(output[1], 2);
        close(output[0]);
        lyra::CallCheckedOrFail(kCallers[3], 3, kArgs);
        _exit(0);  // not reached when the check works
    }
    close(output[1]);
    std::string report;
    char buffer[256];
    ssize_t n;
    while ((n = read(output[0], buffer, sizeof buffer)) > 0) report.append(buffer, static_cast<size_t>(n));
    close(output[0]);
    int status = 0;
    waitpid(child, &status, 0);
    Check(WIFEXITED(status) && WEXITSTATUS(status) == 255, "exit code -1");
    Check(report.find("6") != std::string::npos && report.find("\xB6\xD1\xD5\xBB\xB4\xED\xCE\xF3") != std::string::npos,
          "the report names error 6, the stack error: " + report);

    // A balanced call through the same path returns its result.
    Check(lyra::CallCheckedOrFail(kCallees[3], 3, kArgs) == Expected(3), "a balanced call through the runtime's path");
}

}  // namespace

int main() {
    CalledAsDeclared();
    CalledTheWrongWay();
    UnbalancedCallIsRuntimeError6();
    if (gFailures == 0) std::printf("all cases held\n");
    return gFailures == 0 ? 0 : 1;
}
