#include "window_units/component.h"

#include <cstring>

#include "runtime/memory.h"
#include "runtime/request_codes.h"
#include "runtime/runtime_app.h"
#include "window_units/type_interface.h"

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

bool GetPropertyOperationOf(Component* component, int ownNumber, PropertyValue* value) {
    return component != nullptr && component->GetProperty(ownNumber, value);
}

bool SetPropertyOperationOf(Component* component, int ownNumber, const PropertyValue& value) {
    return component != nullptr && component->SetProperty(ownNumber, value);
}

void* PropertyDataOperationOf(Component* component) {
    if (component == nullptr) return nullptr;
    std::vector<uint8_t> data = component->PropertyData();
    auto* block = static_cast<uint8_t*>(AllocMemory(4 + data.size()));
    uint32_t size = static_cast<uint32_t>(data.size());
    std::memcpy(block, &size, 4);
    if (!data.empty()) std::memcpy(block + 4, data.data(), data.size());
    return block;
}

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

void* ComponentTypeInterface(int op, CreateOperation create) {
    switch (op) {
        case kOpCreate: return reinterpret_cast<void*>(create);
        case kOpPropertyChanged: return reinterpret_cast<void*>(&SetPropertyOperationOf);
        case kOpGetAllPropertyData: return reinterpret_cast<void*>(&PropertyDataOperationOf);
        case kOpGetProperty: return reinterpret_cast<void*>(&GetPropertyOperationOf);
        default: return nullptr;
    }
}

}  // namespace lyra
