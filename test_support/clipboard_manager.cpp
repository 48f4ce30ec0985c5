#include "test_support/clipboard_manager.h"

#include "test_support/waits.h"

namespace lyra::test {

bool WaitForClipboardManager(DWORD milliseconds) {
    DWORD start = GetTickCount();
    GetDesktopWindow();  // the desktop process, with its manager, starts on demand
    HWND manager = nullptr;
    bool found = WaitFor([&] {
        manager = FindWindowExW(HWND_MESSAGE, nullptr, L"__wine_clipboard_manager", nullptr);
        return manager != nullptr;
    }, milliseconds);
    if (!found) return false;
    // The manager creates its window, takes the clipboard over, then starts
    // reading its messages: once it has answered one, the takeover is done.
    DWORD spent = GetTickCount() - start;
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(manager, WM_NULL, 0, 0, SMTO_NORMAL, milliseconds > spent ? milliseconds - spent : 1,
                               &ignored) != 0;
}

}  // namespace lyra::test
