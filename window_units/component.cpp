#include "window_units/component.h"

#include "runtime/request_codes.h"
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
    RuntimeRequest(kRequestRaiseEvent, reinterpret_cast<intptr_t>(&request), 0);
    if (request.hasResult && result != nullptr) *result = request.result;
    return request.hasResult != 0;
}

void Component::OnFinalDestroy() {
    accessible_.Disconnect();
    RuntimeRequest(kRequestUnitDestroyed, static_cast<intptr_t>(windowId_), static_cast<intptr_t>(unitId_));
}

LRESULT Component::AnswerGetObject(WPARAM wParam, LPARAM lParam) {
    LRESULT answer = 0;
    if (accessible_.Answer(this, wParam, lParam, &answer)) return answer;
    return DefaultProc(WM_GETOBJECT, wParam, lParam);
}

LRESULT Component::AnswerThenRaise(UINT message, WPARAM wParam, LPARAM lParam, int32_t eventNumber) {
    LRESULT result = DefaultProc(message, wParam, lParam);
    RaiseEvent(eventNumber, {});
    return result;
}

namespace {

// The control a parent's notification came from, or null.
HWND NotifyingControl(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORDLG:
            return reinterpret_cast<HWND>(lParam);
        case WM_NOTIFY:
            return lParam != 0 ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            return item != nullptr && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
        }
        case WM_DELETEITEM:
            return lParam != 0 ? reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem : nullptr;
        case WM_COMPAREITEM:
            return lParam != 0 ? reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem : nullptr;
        default:
            return nullptr;
    }
}

bool IsColourMessage(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

}  // namespace

bool ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    HWND control = NotifyingControl(message, wParam, lParam);
    if (control == nullptr || dynamic_cast<Component*>(framework::WindowObject::FromHandle(control)) == nullptr) {
        return false;
    }
    LRESULT answer = SendMessageW(control, kReflectedMessageBase + message, wParam, lParam);
    if (IsColourMessage(message) && answer == 0) return false;
    *result = answer;
    return true;
}

}  // namespace lyra
