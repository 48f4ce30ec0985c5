// Window objects: a C++ object attached to a window handle. Attaching
// subclasses the window so that its messages reach WindowProc; detaching
// restores the original procedure. The object is found again from the
// handle on any thread of the process.
#pragma once

#include <windows.h>

namespace framework {

class WindowObject {
public:
    WindowObject() = default;
    virtual ~WindowObject();
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;

    bool Attach(HWND window);
    // Returns the handle; the window itself lives on.
    HWND Detach();
    HWND Handle() const { return window_; }

    static WindowObject* FromHandle(HWND window);

    virtual bool PreTranslateMessage(MSG&) { return false; }

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after WM_NCDESTROY has been handled; the object is detached by then.
    virtual void OnFinalDestroy() {}

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    WNDPROC originalProc_ = nullptr;
};

// Registers a window class of this module; answers false when it fails for
// any reason other than the class already existing.
bool RegisterWindowClass(const wchar_t* name, UINT style, HCURSOR cursor, HBRUSH background,
                         WNDPROC procedure);

}  // namespace framework
