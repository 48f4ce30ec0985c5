// ReadProperty and WriteProperty: common properties 0-7 of every unit, and
// the own properties (8 onward) of its type, converted by value kind.
// Callable from any thread: the work is done on the window thread.
#pragma once

#include <cstdint>

namespace lyra {

uint64_t ReadUnitProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t element);
void WriteUnitProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t element, uint64_t value);

// The same for an object of a library data type given by its type code:
// the type's own properties (8 onward) of a component that is live in the
// loaded template. Any other object, or a number below 8, reads 0 and
// writes nothing.
uint64_t ReadObjectProperty(uint32_t typeCode, void* object, int32_t property, int32_t element);
void WriteObjectProperty(uint32_t typeCode, void* object, int32_t property, int32_t element, uint64_t value);

}  // namespace lyra
