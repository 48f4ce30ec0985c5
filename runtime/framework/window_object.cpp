#include "runtime/framework/window_object.h"

#include "runtime/framework/application.h"

namespace framework {

namespace {
const wchar_t kObjectProperty[] = L"Lyrabox.WindowObject";
}

WindowObject::~WindowObject() {
    if (window_ != nullptr && IsWindow(window_)) Detach();
}

bool WindowObject::Attach(HWND window) {
    if (window == nullptr || window_ != nullptr || FromHandle(window) != nullptr) return false;
    if (!SetPropW(window, kObjectProperty, this)) return false;
    window_ = window;
    originalProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowObject::SubclassProc)));
    return true;
}

HWND WindowObject::Detach() {
    HWND window = window_;
    if (window == nullptr) return nullptr;
    if (IsWindow(window)) {
        if (originalProc_ != nullptr) SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
        RemovePropW(window, kObjectProperty);
    }
    window_ = nullptr;
    originalProc_ = nullptr;
    return window;
}

WindowObject* WindowObject::FromHandle(HWND window) {
    if (window == nullptr) return nullptr;
    return static_cast<WindowObject*>(GetPropW(window, kObjectProperty));
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
