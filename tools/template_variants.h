// Variants of the program's window template that the template compiler can
// write besides the program's own.
#pragma once

#include <cstdint>
#include <string>

#include "window_units/template_format.h"

namespace lyra {

// The window-unit tests' template: the program's units without the list
// views, buttons and hyperlink, every unit bound to test routines by the
// numbering below.
WindowTemplate WindowTestTemplate();

// Test routine numbering: unit ordinal (its index in the test template's
// unit table) and event number give the routine index.
constexpr uint32_t kTestEventSlots = 32;
constexpr int32_t kTestEventBias = 12;
constexpr uint32_t kTestUnitLimit = 16;
constexpr uint32_t kTestRoutineCount = kTestUnitLimit * kTestEventSlots;
// A routine that a correct dispatch never calls: bound to an event after
// another binding of the same event.
constexpr uint32_t kTestShadowedRoutine = kTestRoutineCount - 1;

// A second window of the test template, "Lyrabox 对话框", with one edit box;
// its units count as ordinals from kTestDialogFirstOrdinal on.
constexpr uint32_t kTestDialogWindowId = 0x52010002;
constexpr uint32_t kTestDialogEdit = 0x16020001;
constexpr uint32_t kTestDialogFirstOrdinal = 12;

inline uint32_t TestRoutineIndex(uint32_t unitOrdinal, int32_t event) {
    return unitOrdinal * kTestEventSlots + static_cast<uint32_t>(event + kTestEventBias);
}
inline int32_t TestRoutineEvent(uint32_t index) {
    return static_cast<int32_t>(index % kTestEventSlots) - kTestEventBias;
}

}  // namespace lyra
