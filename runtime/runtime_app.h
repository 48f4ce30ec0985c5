// The runtime application object: start-up, the message loop, idle work,
// pre-translation and shutdown of the program, on top of the framework.
#pragma once

#include <windows.h>

#include <cstdint>
#include <atomic>
#include <mutex>
#include <vector>

#include "runtime/framework/application.h"
#include "runtime/runtime_state.h"
#include "runtime/threading.h"

namespace lyra {

// Private messages of the helper window.
constexpr UINT kExitRequestMessage = WM_APP + 999;     // 0x83E7: ExitProgram(wParam) on the main thread
constexpr UINT kRunOnMainThreadMessage = WM_APP + 1000;  // lParam: MainThreadCall*
constexpr UINT kOwnerQueryMessage = WM_APP + 2;        // 0x8002: answers the owning runtime object

struct IdleCallback {
    HWND window;
    void (*routine)(intptr_t argument);
    intptr_t argument;
};

class RuntimeApplication : public framework::Application {
public:
    int AppStart() override;
    int AppExit() override;
    bool FilterMessage(MSG& message) override;
    bool IdleWork(long count) override;

    void InitialiseProgram();
    void Shutdown(int exitCode);
    // Mode 0 runs the program's main loop; mode 1 a modal window's loop,
    // which runs while modalActive is set.
    void RunMessageLoop(int mode);
    // Removes and dispatches the waiting messages, stopping before WM_QUIT.
    void PumpWaitingMessages();

    void AddIdleCallback(const IdleCallback& callback);
    void RemoveIdleCallback(HWND window);

    HWND helperWindow() const { return helperWindow_; }
    void LoadIcons(HICON* large, HICON* small);

    bool modalActive = false;

private:
    void CreateHelperWindow();
    void RunIdleCallbacks();
    static LRESULT CALLBACK HelperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::atomic<HWND> helperWindow_{nullptr};
    std::mutex idleMutex_;
    std::vector<IdleCallback> idleCallbacks_;
    std::mutex iconMutex_;
    HICON largeIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    DWORD idleStart_ = 0;
};

RuntimeApplication& TheRuntimeApplication();


// The runtime request function handed to every library.
intptr_t RuntimeRequest(int code, intptr_t param1, intptr_t param2);

}  // namespace lyra
