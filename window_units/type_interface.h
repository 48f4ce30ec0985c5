// The operations every component type hands out from its getInterface,
// built on the Component virtuals, and helpers for property values.
#pragma once

#include <string>
#include <vector>

#include "window_units/component.h"

namespace lyra {

// Operation op of a type whose create operation is create: 1 create, 4 set
// property, 5 property data, 6 get property; null for any other number.
void* ComponentTypeInterface(int op, CreateOperation create);

PropertyValue NumberValue(int64_t number);
PropertyValue BytesValue(const std::string& bytes);
PropertyValue BytesValue(const std::vector<uint8_t>& bytes);

inline std::vector<uint8_t> ValueBytes(const PropertyValue& value) {
    return std::vector<uint8_t>(value.bytes.begin(), value.bytes.end());
}
inline uint32_t ValueWord(const PropertyValue& value) { return static_cast<uint32_t>(value.number); }

}  // namespace lyra
