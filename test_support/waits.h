// Waiting for a state with a deadline: the one way the tests, the benchmarks
// and the demo wait for another thread or process.
#pragma once

#include <windows.h>

namespace lyra::test {

// Polls until the condition holds or the time is up.
template <typename Condition>
bool WaitFor(Condition condition, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > milliseconds) return false;
        Sleep(20);
    }
}

// As WaitFor, polling without pause: for states that last a moment only.
template <typename Condition>
bool SpinUntil(Condition condition, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > milliseconds) return false;
        SwitchToThread();
    }
}

}  // namespace lyra::test
