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

// Dispatches the messages waiting for this thread.
inline void DispatchWaiting() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// As WaitFor on a thread with windows: pump hands out the thread's waiting
// messages before each look at the condition, and a message arriving ends
// the pause between looks.
template <typename Condition, typename Pump>
bool PumpUntil(Condition condition, DWORD milliseconds, Pump pump) {
    return wait_detail::PollUntil([&] { pump(); return condition(); }, milliseconds,
                                  [] { MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT); });
}

}  // namespace lyra::test
