// Waiting for a state with a deadline: the one way the tests, the benchmarks
// and the demo wait for another thread or process.
#pragma once

#include <windows.h>

namespace lyra::test {

namespace wait_detail {

template <typename Condition, typename Pause>
bool PollUntil(Condition condition, DWORD milliseconds, Pause pause) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > milliseconds) return false;
        pause();
    }
}

}  // namespace wait_detail

// Polls until the condition holds or the time is up.
template <typename Condition>
bool WaitFor(Condition condition, DWORD milliseconds) {
    return wait_detail::PollUntil(condition, milliseconds, [] { Sleep(20); });
}

// As WaitFor, polling without pause: for states that last a moment only.
template <typename Condition>
bool SpinUntil(Condition condition, DWORD milliseconds) {
    return wait_detail::PollUntil(condition, milliseconds, [] { SwitchToThread(); });
}

}  // namespace lyra::test
