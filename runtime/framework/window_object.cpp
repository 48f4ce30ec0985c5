#include "runtime/framework/window_object.h"

#include <unordered_map>

#include "runtime/framework/application.h"

namespace framework {

namespace {
// Every message of an attached window looks its object up: the objects are
// kept in a table of the process rather than as window properties, whose
// every read under Wine is a round trip to the server.
SRWLOCK gObjectsLock = SRWLOCK_INIT;
std::unordered_map<HWND, WindowObject*>& Objects() {
    static auto* objects = new std::unordered_map<HWND, WindowObject*>();  // outlives every window
    return *objects;
}
}  // namespace

WindowObject::~WindowObject() {
    if (window_ != nullptr && IsWindow(window_)) Detach();
}

bool WindowObject::Attach(HWND window) {
    if (window == nullptr || window_ != nullptr || FromHandle(window) != nullptr) return false;
    AcquireSRWLockExclusive(&gObjectsLock);
    Objects()[window] = this;
    ReleaseSRWLockExclusive(&gObjectsLock);
    window_ = window;
    originalProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowObject::SubclassProc)));
    return true;
}

HWND WindowObject::Detach() {
    HWND window = window_;
    if (window == nullptr) return nullptr;
    if (IsWindow(window) && originalProc_ != nullptr) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
    }
    AcquireSRWLockExclusive(&gObjectsLock);
    auto found = Objects().find(window);
    if (found != Objects().end() && found->second == this) Objects().erase(found);
    ReleaseSRWLockExclusive(&gObjectsLock);
    window_ = nullptr;
    originalProc_ = nullptr;
    return window;
}

WindowObject* WindowObject::FromHandle(HWND window) {
    if (window == nullptr) return nullptr;
    AcquireSRWLockShared(&gObjectsLock);
    auto found = Objects().find(window);
    WindowObject* object = found != Objects().end() ? found->second : nullptr;
    ReleaseSRWLockShared(&gObjectsLock);
    return object;
}

LRESULT WindowObject::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (originalProc_ != nullptr) return CallWindowProcW(originalProc_, window_, message, wParam, lParam);
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT WindowObject::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT CALLBACK WindowObject::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowObject* object = FromHandle(window);
    if (object == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = object->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        object->Detach();
        object->OnFinalDestroy();
    }
    return result;
}

bool RegisterWindowClass(const wchar_t* name, UINT style, HCURSOR cursor, HBRUSH background,
                         WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = Instance() ? Instance() : GetModuleHandleW(nullptr);
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    if (RegisterClassExW(&windowClass)) return true;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace framework
