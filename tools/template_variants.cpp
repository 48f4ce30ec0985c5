#include "tools/template_variants.h"

#include <algorithm>

#include "data/window_template.h"

namespace lyra {

namespace {

bool LeftOutOfWindowTests(uint32_t typeCode) {
    return typeCode == kTypeCodeListView || typeCode == kTypeCodeSuperBtn || typeCode == kTypeCodeHyperLinker;
}

void Bind(UnitRecord& unit, int32_t event, uint32_t routineWord) {
    EventBinding binding;
    binding.eventNumber = event;
    binding.routineWord = routineWord;
    unit.events.push_back(binding);
}

}  // namespace

WindowTemplate WindowTestTemplate() {
    WindowTemplate result = ProgramWindowTemplate();
    WindowRecord& window = result.windows.at(0);
    std::vector<uint32_t> dropped;
    for (const UnitRecord& unit : window.units) {
        if (LeftOutOfWindowTests(unit.typeCode)) dropped.push_back(unit.id);
    }
    auto isDropped = [&](uint32_t id) { return std::find(dropped.begin(), dropped.end(), id) != dropped.end(); };
    window.units.erase(std::remove_if(window.units.begin(), window.units.end(),
                                      [&](const UnitRecord& unit) { return isDropped(unit.id); }),
                       window.units.end());

    for (uint32_t ordinal = 0; ordinal < window.units.size(); ++ordinal) {
        UnitRecord& unit = window.units[ordinal];
        unit.children.erase(std::remove_if(unit.children.begin(), unit.children.end(), isDropped),
                            unit.children.end());
        unit.events.clear();
        bool isWindow = ordinal == 0;
        if (unit.id == kUnitQqEdit) Bind(unit, -10, kNoRoutine);  // shadows the key-up binding below
        for (int32_t event = -12; event <= (isWindow ? 11 : 3); ++event) {
            Bind(unit, event, TestRoutineIndex(ordinal, event));
        }
        if (isWindow) Bind(unit, 0, kTestShadowedRoutine);
    }
    return result;
}

}  // namespace lyra
