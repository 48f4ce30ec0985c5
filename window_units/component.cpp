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

}  // namespace lyra
