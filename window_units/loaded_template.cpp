#include "window_units/loaded_template.h"

#include <vector>

#include "window_units/component.h"
#include "window_units/mouse_pointers.h"

namespace lyra {

namespace {

WindowTemplate gTemplate;
// Components whose window is gone. A worker may still hold one it was given
// by kRequestUnitObject or kRequestRequiredUnitObject, so they are kept
// until the process ends.
std::vector<Component*> gRetired;

}  // namespace

WindowTemplate& LoadedTemplate() { return gTemplate; }

HWND UnitHandle(const UnitRecord& unit) {
    if (unit.object == nullptr) return nullptr;
    HWND handle = unit.object->Handle();
    return handle != nullptr && IsWindow(handle) ? handle : nullptr;
}

bool WindowExists(const WindowRecord& window) {
    return !window.units.empty() && UnitHandle(window.units[0]) != nullptr;
}

bool AnyWindowExists() {
    for (const WindowRecord& window : gTemplate.windows) {
        if (WindowExists(window)) return true;
    }
    return false;
}

UnitRecord* FindTemplateUnit(WindowRecord& window, uint32_t unitId) {
    if (unitId == 0 || unitId == kWindowUnitId) return window.units.empty() ? nullptr : &window.units[0];
    return window.FindUnit(unitId);
}

void ReleaseUnit(UnitRecord& unit) {
    if (unit.object != nullptr) gRetired.push_back(unit.object);
    unit.object = nullptr;
    DestroyMousePointer(static_cast<HCURSOR>(unit.pointer));
    unit.pointer = nullptr;
}


}  // namespace lyra
