// Delivery of component and window events to the application's routines.
#pragma once

#include <cstdint>

#include "window_units/component.h"

namespace lyra {

// kRequestRaiseEvent: 1 when a routine was found and called, 0 when the event was
// not delivered (events suspended, or no routine bound to it).
intptr_t DeliverEvent(EventRequest& request);
// kRequestRaiseTypedEvent: the same with typed arguments and a 64-bit result.
intptr_t DeliverTypedEvent(TypedEventRequest& request);

// Idle event 7 for every loaded window that has not declined idle time in
// this idle period; true when one of them asks for more.
bool RaiseIdleEvents(uint32_t elapsed, bool newPeriod);

// The window and unit whose event routine is running (both 0 outside of one).
struct EventSource {
    uint32_t windowId;
    uint32_t unitId;
};
EventSource CurrentEventSource();

}  // namespace lyra
