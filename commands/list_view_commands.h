// Extended UI library 1's commands: the row operations of a ListView.
// Each takes the component as its first argument (window id in the low
// word, unit id in the high word) and may be called from any thread: they
// work on the list's row model and never wait for the window thread.
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace lyra {

void ClearRows(ValueRecord* result, int32_t count, ValueRecord* args);
void InsertRow(ValueRecord* result, int32_t count, ValueRecord* args);
void SetCellText(ValueRecord* result, int32_t count, ValueRecord* args);
void GetCellText(ValueRecord* result, int32_t count, ValueRecord* args);
void GetRowCount(ValueRecord* result, int32_t count, ValueRecord* args);

}  // namespace lyra
