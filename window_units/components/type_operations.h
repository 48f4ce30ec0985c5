// The type operations every component type of this folder shares: property
// access and serialisation through the Component interface.
#pragma once

#include "window_units/component.h"

namespace lyra {

bool GetPropertyOp(Component* component, int ownNumber, PropertyValue* value);
bool SetPropertyOp(Component* component, int ownNumber, const PropertyValue& value);
// A new block: u32 size, then the property block.
void* PropertyDataOp(Component* component);

// The getInterface answer for a type with these create and key-filter operations.
void* TypeInterface(int operation, CreateOperation create, KeyFilterOperation keyFilter);

}  // namespace lyra
