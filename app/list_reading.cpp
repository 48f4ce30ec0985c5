#include "app/list_reading.h"

#include "app/services.h"
#include "commands/list_view_commands.h"

namespace lyra::app {

namespace {

constexpr int32_t kColumns = 4;

SongRow RowOf(const TextArray& texts, size_t first) {
    return SongRow{texts[first], texts[first + 1], texts[first + 2], texts[first + 3]};
}

}  // namespace

SongRow SelectedRow(uint32_t list) {
    int32_t row = ReadIntProperty(list, units::kPropertySelectedRow);
    TextArray texts(LibraryCommand(kUiLibrary1, &GetRowTexts, {ListArg(list), IntArg(row), IntArg(kColumns)}));
    if (texts.size() < kColumns) return SongRow{};
    return RowOf(texts, 0);
}

std::vector<SongRow> ListedRows(uint32_t list) {
    TextArray texts(LibraryCommand(kUiLibrary1, &GetAllRowTexts, {ListArg(list), IntArg(kColumns)}));
    std::vector<SongRow> rows;
    for (size_t first = 0; first + kColumns <= texts.size(); first += kColumns) rows.push_back(RowOf(texts, first));
    return rows;
}

bool HeaderCopyText(uint32_t list, int64_t column, std::string* text) {
    if (column < 0 || column > 3) return false;
    SongRow row = SelectedRow(list);
    const std::string* cells[] = {nullptr, &row.singer, &row.song, &row.address};
    *text = column == 0 ? WholeRowText(row) : *cells[column];
    return true;
}

std::string AddressCopyText(uint32_t list) { return SelectedRow(list).address; }

std::string SaveText(const std::string& number) {
    return SavedListsText(number, ListedRows(units::kBackgroundList), ListedRows(units::kFavouriteList));
}

}  // namespace lyra::app
