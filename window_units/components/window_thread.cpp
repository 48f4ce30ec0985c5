#include "window_units/components/window_thread.h"

namespace lyra {

UINT WindowThreadCallMessage() {
    static const UINT message = RegisterWindowMessageW(L"Lyrabox.ComponentWindowThreadCall");
    return message;
}

void RunOnWindowThread(HWND window, const std::function<void()>& work) {
    if (window == nullptr || !IsWindow(window) || GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        work();
        return;
    }
    SendMessageW(window, WindowThreadCallMessage(), 0, reinterpret_cast<LPARAM>(&work));
}

bool HandleWindowThreadCall(UINT message, LPARAM lParam) {
    if (message != WindowThreadCallMessage() || lParam == 0) return false;
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return true;
}

}  // namespace lyra
