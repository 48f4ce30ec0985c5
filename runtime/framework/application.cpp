#include "runtime/framework/application.h"

namespace framework {

namespace {
Application* gApplication = nullptr;
HINSTANCE gInstance = nullptr;
}  // namespace

Application::Application() { gApplication = this; }

Application::~Application() {
    if (gApplication == this) gApplication = nullptr;
}

Application* Application::Current() { return gApplication; }

HINSTANCE Instance() { return gInstance; }

int Application::AppExit() { return quitCode_; }

bool Application::FilterMessage(MSG& message) {
    if (message.hwnd == nullptr) return PreTranslateThreadMessage(message);
    return false;
}

bool Application::PreTranslateThreadMessage(MSG&) { return false; }

bool Application::IdleWork(long count) { return FrameworkIdle(count); }

bool Application::FrameworkIdle(long count) {
    // Nothing of the framework's own is pending after the first step.
    return count < 1;
}

bool Application::PumpMessage() {
    if (!GetMessageW(&current_, nullptr, 0, 0)) {
        quitCode_ = static_cast<int>(current_.wParam);
        return false;
    }
    if (!FilterMessage(current_)) {
        TranslateMessage(&current_);
        DispatchMessageW(&current_);
    }
    return true;
}

bool Application::IsIdleMessage(const MSG& message) {
    // Caret blinks and timer-driven paints do not restart idle work.
    return message.message != WM_PAINT && message.message != 0x0118 /* WM_SYSTIMER */ &&
           message.message != WM_TIMER;
}

int RunApplication(HINSTANCE instance) {
    gInstance = instance;
    Application* app = Application::Current();
    if (app == nullptr) return -1;
    int result = app->AppStart();
    if (result == 0) {
        if (app->mainWindow != nullptr && IsWindow(app->mainWindow)) DestroyWindow(app->mainWindow);
        return app->AppExit();
    }
    // A non-zero start would hand over to the framework's own loop; nothing here asks for it.
    while (app->PumpMessage()) {
    }
    return app->AppExit();
}

}  // namespace framework
