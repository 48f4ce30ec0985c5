// The operations every component type hands out from its getInterface,
// built on the Component virtuals.
#pragma once

#include "window_units/component.h"

namespace lyra {

// Operation op of a type whose create operation is create: 1 create, 4 set
// property, 5 property data, 6 get property; null for any other number.
void* ComponentTypeInterface(int op, CreateOperation create);

}  // namespace lyra
