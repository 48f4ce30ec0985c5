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
// GetRowTexts(row, [column count]) -> text array of the row's cells 0 ..
// count - 1 (default 1), read at one moment: a row being filled meanwhile
// comes back as it was, never part old, part new.
void GetRowTexts(ValueRecord* result, int32_t count, ValueRecord* args);
// GetAllRowTexts([column count]) -> two-dimensional text array, rows by
// columns (default 1), of every row top to bottom, read at one moment.
void GetAllRowTexts(ValueRecord* result, int32_t count, ValueRecord* args);

}  // namespace lyra
