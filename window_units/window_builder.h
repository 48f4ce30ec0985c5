// Building a window and its components from the loaded template, and
// taking them down again.
#pragma once

#include <cstdint>

namespace lyra {

// Builds the window (or activates it when it exists already); false when
// the window id is unknown or the window or one of its components cannot
// be created.
//
// A modal window is owned by the program's main window; while it exists,
// every other top-level window of the program is disabled and the message
// loop runs in mode 1. The call returns once the window is gone (or the
// program is quitting), with the other windows enabled exactly as before.
bool LoadWindow(uint32_t windowId, bool modal = false);

// kRequestUnitDestroyed: window windowId, or its unit unitId, has been destroyed.
void ForgetDestroyedUnit(uint32_t windowId, uint32_t unitId);

// Destroys the live windows and their units' mouse pointers. The template's
// records and the component objects stay until the process ends: a worker
// may still hold one.
void ReleaseLoadedTemplate();

}  // namespace lyra
