// Building a window and its components from the loaded template, and
// taking them down again.
#pragma once

#include <cstdint>

namespace lyra {

// Builds the window (or activates it when it exists already); false when
// the window id is unknown or the window or one of its components cannot
// be created.
bool LoadWindow(uint32_t windowId);

// Request 2000: window windowId, or its unit unitId, has been destroyed.
void ForgetDestroyedUnit(uint32_t windowId, uint32_t unitId);

// Destroys the live windows and empties the loaded template.
void ReleaseLoadedTemplate();

}  // namespace lyra
