// What the copy and save routines read from the two lists. Each row is read
// whole and each list at one moment, so a lookup filling a list meanwhile
// can neither mix the cells of two songs nor repeat or drop rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/list_texts.h"

namespace lyra::app {

// The row selected now; empty cells when none is.
SongRow SelectedRow(uint32_t list);
// Every row, top to bottom.
std::vector<SongRow> ListedRows(uint32_t list);

// What a click on a column header copies: column 0 the whole selected row,
// 1 to 3 that cell of it; false for any other column.
bool HeaderCopyText(uint32_t list, int64_t column, std::string* text);
// What a double click copies: the selected row's music address.
std::string AddressCopyText(uint32_t list);
// The saved file's text: both lists under the saved number.
std::string SaveText(const std::string& number);

}  // namespace lyra::app
