// ReadProperty and WriteProperty: common properties 0-7 of every unit, and
// the own properties (8 onward) of its type, converted by value kind.
// Callable from any thread: the work is done on the window thread.
#pragma once

#include <cstdint>

namespace lyra {

uint64_t ReadUnitProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t element);
void WriteUnitProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t element, uint64_t value);

}  // namespace lyra
