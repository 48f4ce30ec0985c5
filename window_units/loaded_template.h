// The loaded window template (kRequestLoadedTemplate) and the live state kept in it.
// Touched on the window thread only: property access and unit lookups from
// other threads are marshalled there first (runtime/threading.h).
#pragma once

#include <windows.h>

#include "window_units/template_format.h"

namespace lyra {

WindowTemplate& LoadedTemplate();

// The unit's live window, or null while it has no component or its window is gone.
HWND UnitHandle(const UnitRecord& unit);
// A window exists while its own record has a component with a live window.
bool WindowExists(const WindowRecord& window);
bool AnyWindowExists();

// Unit 0 for unit id 0 or the window's own id; null when there is no such unit.
UnitRecord* FindTemplateUnit(WindowRecord& window, uint32_t unitId);

// Forgets the unit's component and its mouse pointer. The object itself is
// kept until the process ends: a worker may still hold it.
void ReleaseUnit(UnitRecord& unit);

}  // namespace lyra
