// The window units behind the runtime's WindowLayer table, and the
// window-related runtime requests.
#include <windows.h>

#include <utility>

#include "runtime/errors.h"
#include "runtime/request_codes.h"
#include "runtime/runtime_app.h"
#include "window_units/component.h"
#include "window_units/event_dispatch.h"
#include "window_units/loaded_template.h"
#include "window_units/property_access.h"
#include "window_units/window_builder.h"
#include "window_units/window_units.h"

namespace lyra {

namespace {

void LoadTemplate(const uint8_t* data, size_t size, const RoutineTable* routines) {
    // Read and relocate a copy: an unreadable template leaves nothing behind.
    WindowTemplate read = ReadTemplate(data, size);
    RelocateRoutines(read, routines);
    LoadedTemplate() = std::move(read);
}

// The runtime's own loads (the start window) are never modal.
bool LoadModelessWindow(uint32_t windowId) { return LoadWindow(windowId); }

struct UnitLookup {
    uint32_t windowId;
    uint32_t unitId;
    framework::WindowObject* object;
};

void LookUpOnWindowThread(void* context) {
    auto* lookup = static_cast<UnitLookup*>(context);
    WindowRecord* window = LoadedTemplate().FindWindowRecord(lookup->windowId);
    if (window == nullptr) return;
    UnitRecord* unit = FindTemplateUnit(*window, lookup->unitId);
    if (unit == nullptr || UnitHandle(*unit) == nullptr) return;
    lookup->object = unit->object;
}

// kRequestUnitObject and kRequestRequiredUnitObject: the framework object of
// a unit (0: the window itself) whose window is still a window. The template is read on the window thread;
// once the program is ending the answer is null.
framework::WindowObject* UnitObject(uint32_t windowId, uint32_t unitId) {
    UnitLookup lookup{windowId, unitId, nullptr};
    if (ProgramEnding() || !RunOnMainThread(&LookUpOnWindowThread, &lookup)) return nullptr;
    return lookup.object;
}

template <typename RequestRecord>
struct EventCall {
    RequestRecord* request;
    intptr_t answer;
};

template <typename RequestRecord, intptr_t (*deliver)(RequestRecord&)>
void DeliverOnWindowThread(void* context) {
    auto* call = static_cast<EventCall<RequestRecord>*>(context);
    call->answer = deliver(*call->request);
}

// Events are delivered on the window thread only.
template <typename RequestRecord, intptr_t (*deliver)(RequestRecord&)>
intptr_t DeliverRequest(intptr_t param) {
    auto* request = reinterpret_cast<RequestRecord*>(param);
    if (request == nullptr) return 0;
    EventCall<RequestRecord> call{request, 0};
    RunOnMainThread(&DeliverOnWindowThread<RequestRecord, deliver>, &call);
    return call.answer;
}

intptr_t HandleRequest(int code, intptr_t param1, intptr_t param2, bool* handled) {
    *handled = true;
    uint32_t windowId = static_cast<uint32_t>(param1);
    uint32_t unitId = static_cast<uint32_t>(param2);
    switch (code) {
        case kRequestLoadedTemplate: return reinterpret_cast<intptr_t>(&LoadedTemplate());
        case kRequestUnitDestroyed: ForgetDestroyedUnit(windowId, unitId); return 0;
        // param2: 1 loads the window modally (the request returns when it is gone).
        case kRequestLoadWindow: return LoadWindow(windowId, param2 == 1) ? 1 : 0;
        case kRequestUnitObject: return reinterpret_cast<intptr_t>(UnitObject(windowId, unitId));
        case kRequestRequiredUnitObject: {
            framework::WindowObject* object = UnitObject(windowId, unitId);
            if (object == nullptr && !ProgramEnding()) ReportError("指定窗口或窗口组件不存在或尚未载入", 0);
            return reinterpret_cast<intptr_t>(object);
        }
        case kRequestRaiseEvent: return DeliverRequest<EventRequest, &DeliverEvent>(param1);
        case kRequestRaiseTypedEvent: return DeliverRequest<TypedEventRequest, &DeliverTypedEvent>(param1);
        default: *handled = false; return 0;
    }
}

}  // namespace

const WindowLayer kWindowUnitsLayer = {
    &LoadTemplate,
    &ReleaseLoadedTemplate,
    &LoadModelessWindow,
    &AnyWindowExists,
    &RaiseIdleEvents,
    &HandleRequest,
    &ReadUnitProperty,
    &WriteUnitProperty,
    &ReadObjectProperty,
    &WriteObjectProperty,
};

}  // namespace lyra
