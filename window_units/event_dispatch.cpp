#include "window_units/event_dispatch.h"

#include <algorithm>
#include <vector>

#include "runtime/errors.h"
#include "runtime/runtime_state.h"
#include "window_units/event_numbers.h"
#include "window_units/loaded_template.h"

namespace lyra {

namespace {

EventSource gCurrentSource{0, 0};
std::vector<uint32_t> gDeclinedIdle;

// The routine bound to the event, or null when the event is not to be
// delivered (events suspended, or nothing bound to it). A window or unit
// that cannot be found, or a type that raises no events, is a runtime error.
ApplicationRoutine FindRoutine(uint32_t windowId, uint32_t unitId, int32_t eventNumber) {
    if (EventsSuspended()) return nullptr;
    WindowRecord* window = LoadedTemplate().FindWindowRecord(windowId);
    if (window == nullptr) ReportError("未找到引发事件的窗口", 0);
    UnitRecord* unit = FindTemplateUnit(*window, unitId);
    if (unit == nullptr) ReportError("未找到引发事件的窗口组件", 0);
    const DataTypeRecord* type = DataTypeRecordOf(unit->typeCode);
    if (type == nullptr || (type->stateFlags & (kTypeRaisesEvents | kTypeRaisesEventsOld)) == 0) {
        ReportError("引发事件的窗口组件无效", 0);
    }
    if (unit->isMenuItem()) return unit->menuRoutine.routine;
    for (const EventBinding& binding : unit->events) {
        if (binding.eventNumber == eventNumber) return binding.routine;
    }
    return nullptr;
}

// Calls the routine with the window and unit as the current event
// source. A routine may raise further events; the outer source comes back
// when the inner routine returns.
bool CallRoutine(ApplicationRoutine routine, uint32_t windowId, uint32_t unitId, const int64_t* arguments,
                 int count, int64_t* result) {
    EventSource outer = gCurrentSource;
    gCurrentSource = EventSource{windowId, unitId};
    bool hasResult = routine(arguments, count, result);
    gCurrentSource = outer;
    return hasResult;
}

}  // namespace

intptr_t DeliverEvent(EventRequest& request) {
    ApplicationRoutine routine = FindRoutine(request.windowId, request.unitId, request.eventNumber);
    if (routine == nullptr) return 0;
    int64_t arguments[5] = {};
    int count = static_cast<int>(std::min<uint32_t>(request.argumentCount, 5));
    for (int i = 0; i < count; ++i) arguments[i] = static_cast<int32_t>(request.arguments[i]);
    int64_t result = 0;
    if (CallRoutine(routine, request.windowId, request.unitId, arguments, count, &result)) {
        request.hasResult = 1;
        request.result = static_cast<uint32_t>(result);
    }
    return 1;
}

intptr_t DeliverTypedEvent(TypedEventRequest& request) {
    ApplicationRoutine routine = FindRoutine(request.windowId, request.unitId, request.eventNumber);
    if (routine == nullptr) return 0;
    int64_t arguments[12] = {};
    int count = static_cast<int>(std::min<uint32_t>(request.argumentCount, 12));
    for (int i = 0; i < count; ++i) arguments[i] = TypedArgumentWord(request.arguments[i]);
    int64_t result = 0;
    if (CallRoutine(routine, request.windowId, request.unitId, arguments, count, &result)) {
        request.hasResult = 1;
        request.result[0] = static_cast<uint32_t>(static_cast<uint64_t>(result));
        request.result[1] = static_cast<uint32_t>(static_cast<uint64_t>(result) >> 32);
    }
    return 1;
}

bool RaiseIdleEvents(uint32_t elapsed, bool newPeriod) {
    if (newPeriod) gDeclinedIdle.clear();
    bool wantsMore = false;
    // By id, not by reference: a routine may load or destroy windows.
    std::vector<uint32_t> ids;
    for (const WindowRecord& window : LoadedTemplate().windows) {
        if (WindowExists(window)) ids.push_back(window.id);
    }
    for (uint32_t id : ids) {
        if (std::find(gDeclinedIdle.begin(), gDeclinedIdle.end(), id) != gDeclinedIdle.end()) continue;
        EventRequest request{};
        request.windowId = id;
        request.unitId = kWindowUnitId;
        request.eventNumber = kEventIdle;
        request.argumentCount = 1;
        request.arguments[0] = elapsed;
        DeliverEvent(request);
        if (request.hasResult && request.result != 0) wantsMore = true;
        else gDeclinedIdle.push_back(id);
    }
    return wantsMore;
}

EventSource CurrentEventSource() { return gCurrentSource; }

}  // namespace lyra
