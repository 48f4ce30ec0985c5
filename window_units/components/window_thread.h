// Running a piece of a component's work on the thread that owns its window.
// Property access may come from any thread; the component's fields and its
// control are touched only on the window thread.
#pragma once

#include <windows.h>

#include <functional>

namespace lyra {

// The registered message that carries the call; components answer it with
// HandleWindowThreadCall from their window procedure.
UINT WindowThreadCallMessage();

// Runs work on the window's thread and returns when it is done. On that
// thread, or when the window is gone, it runs at once.
void RunOnWindowThread(HWND window, const std::function<void()>& work);

// True when message was a call and has been run.
bool HandleWindowThreadCall(UINT message, LPARAM lParam);

}  // namespace lyra
