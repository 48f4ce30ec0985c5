// The application framework underneath the runtime: an application object
// with start-up, exit, idle and pre-translation hooks, a message pump, and
// window objects that attach to window handles.
#pragma once

#include <windows.h>

namespace framework {

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Current();

    // Start-up; a result of 0 means the program's whole life has run inside it.
    virtual int AppStart() = 0;
    // Called once the program ends; answers the process exit code.
    virtual int AppExit();
    // Pre-translation: true when the message has been handled.
    virtual bool FilterMessage(MSG& message);
    // One step of idle work; true asks for more.
    virtual bool IdleWork(long count);

    // Takes one message, offers it to FilterMessage, dispatches it.
    // False once WM_QUIT was taken; QuitCode() is then its value.
    bool PumpMessage();
    // True when a message should restart idle processing.
    static bool IsIdleMessage(const MSG& message);
    // The framework's own idle work for one step; true asks for more.
    bool FrameworkIdle(long count);
    // Thread-level pre-translation for messages without a window.
    bool PreTranslateThreadMessage(MSG& message);

    int QuitCode() const { return quitCode_; }
    const MSG& CurrentMessage() const { return current_; }

    HWND mainWindow = nullptr;

private:
    MSG current_{};
    int quitCode_ = 0;
};

// The process's main: AppStart, then AppExit's result.
int RunApplication(HINSTANCE instance);

HINSTANCE Instance();

}  // namespace framework
