#include "tools/template_variants.h"

#include <algorithm>

#include "data/window_template.h"
#include "window_units/components/edit_box_block.h"
#include "window_units/components/window_block.h"

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

// The dialog: a copy of the start window's own record and of its number box,
// resized and renamed, every event bound.
WindowRecord DialogWindow(const WindowRecord& start) {
    WindowRecord dialog;
    dialog.id = kTestDialogWindowId;
    UnitRecord self = start.units.at(0);
    WindowProperties properties;
    properties.caption = "Lyrabox 对话框";
    properties.borderStyle = 3;
    self.propertyBlock = WriteWindowBlock(properties);
    self.left = 120;
    self.top = 120;
    self.width = 320;
    self.height = 160;
    self.children.clear();
    UnitRecord edit = *start.FindUnit(units::kNumberEdit);
    edit.id = kTestDialogEdit;
    edit.name = "编辑框_对话";
    edit.parentId = 0;
    edit.left = 16;
    edit.top = 16;
    EditBoxProperties editProperties;
    editProperties.content = "对话";
    edit.propertyBlock = WriteEditBoxBlock(editProperties);
    dialog.units = {self, edit};
    for (uint32_t i = 0; i < dialog.units.size(); ++i) {
        UnitRecord& unit = dialog.units[i];
        unit.events.clear();
        for (int32_t event = -12; event <= (i == 0 ? 11 : 3); ++event) {
            Bind(unit, event, TestRoutineIndex(kTestDialogFirstOrdinal + i, event));
        }
    }
    return dialog;
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
        if (unit.id == units::kNumberEdit) Bind(unit, -10, kNoRoutine);  // shadows the key-up binding below
        for (int32_t event = -12; event <= (isWindow ? 11 : 3); ++event) {
            Bind(unit, event, TestRoutineIndex(ordinal, event));
        }
        if (isWindow) Bind(unit, 0, kTestShadowedRoutine);
    }
    result.windows.push_back(DialogWindow(window));
    return result;
}

}  // namespace lyra
