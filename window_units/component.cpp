#include "window_units/component.h"

#include "runtime/runtime_app.h"

namespace lyra {

bool Component::RaiseEvent(int32_t eventNumber, std::initializer_list<uint32_t> arguments, uint32_t* result) {
    EventRequest request{};
    request.windowId = windowId_;
    request.unitId = unitId_;
    request.eventNumber = eventNumber;
    for (uint32_t argument : arguments) {
        if (request.argumentCount == 5) break;
        request.arguments[request.argumentCount++] = argument;
    }
    RuntimeRequest(2008, reinterpret_cast<intptr_t>(&request), 0);
    if (request.hasResult && result != nullptr) *result = request.result;
    return request.hasResult != 0;
}

bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    HWND child = nullptr;
    switch (message) {
        case WM_COMMAND: child = reinterpret_cast<HWND>(lParam); break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header != nullptr) child = header->hwndFrom;
            break;
        }
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (wParam != 0 && item != nullptr && item->CtlType != ODT_MENU) child = item->hwndItem;
            break;
        }
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            child = reinterpret_cast<HWND>(lParam);
            break;
        default: return false;
    }
    if (child == nullptr) return false;
    auto* component = dynamic_cast<Component*>(framework::WindowObject::FromHandle(child));
    if (component == nullptr) return false;
    LRESULT answer = 0;
    if (!component->OnReflectedMessage(message, wParam, lParam, &answer)) return false;
    if (result != nullptr) *result = answer;
    return true;
}

}  // namespace lyra
