// Copying cells and rows of the two lists to the clipboard, and saving both
// lists to a text file in the program's directory.
#include <string>
#include <vector>

#include "app/services.h"
#include "app/list_texts.h"
#include "app/routines.h"
#include "commands/list_view_commands.h"
#include "commands/text_commands.h"
#include "commands/ui_commands.h"

namespace lyra::app {

namespace {

int32_t SelectedRow(uint32_t list) { return ReadIntProperty(list, units::kPropertySelectedRow); }

// A cell of the row selected at the moment of reading; empty for no selection.
std::string SelectedCell(uint32_t list, int32_t column) {
    int32_t row = SelectedRow(list);
    return OwnedText(LibraryCommand(kUiLibrary1, &GetCellText, {ListArg(list), IntArg(row), IntArg(column)})).c_str();
}

std::string Cell(uint32_t list, int32_t row, int32_t column) {
    return OwnedText(LibraryCommand(kUiLibrary1, &GetCellText, {ListArg(list), IntArg(row), IntArg(column)})).c_str();
}

void PutOnClipboard(const std::string& text) { CoreCommand(&SetClipboardText, {TextArg(text.c_str())}); }

void CopyWholeSelectedRow(uint32_t list) {
    SongRow row;
    row.id = SelectedCell(list, 0);
    row.singer = SelectedCell(list, 1);
    row.song = SelectedCell(list, 2);
    row.address = SelectedCell(list, 3);
    PutOnClipboard(WholeRowText(row));
}

// Column 0 copies the whole row; 1 to 3 one cell; anything else nothing.
void CopyByHeader(uint32_t list, const int64_t* args, int argCount) {
    if (argCount < 1) return;
    int64_t column = args[0];
    if (column == 0) CopyWholeSelectedRow(list);
    else if (column >= 1 && column <= 3) PutOnClipboard(SelectedCell(list, static_cast<int32_t>(column)));
}

std::vector<SongRow> ReadRows(uint32_t list) {
    std::vector<SongRow> rows;
    int32_t count = RecordInt(LibraryCommand(kUiLibrary1, &GetRowCount, {ListArg(list)}));
    for (int32_t row = 0; row < count; ++row) {
        rows.push_back(SongRow{Cell(list, row, 0), Cell(list, row, 1), Cell(list, row, 2), Cell(list, row, 3)});
    }
    return rows;
}

}  // namespace

bool CopyByHeaderBackground(const int64_t* args, int argCount, int64_t*) {
    CopyByHeader(units::kBackgroundList, args, argCount);
    return false;
}

bool CopyByHeaderFavourite(const int64_t* args, int argCount, int64_t*) {
    // The help text promises that the ID header copies the whole row: both lists keep that promise.
    CopyByHeader(units::kFavouriteList, args, argCount);
    return false;
}

bool CopyMusicAddressBackground(const int64_t*, int, int64_t*) {
    PutOnClipboard(SelectedCell(units::kBackgroundList, 3));
    return false;
}

bool CopyMusicAddressFavourite(const int64_t*, int, int64_t*) {
    PutOnClipboard(SelectedCell(units::kFavouriteList, 3));
    return false;
}

bool SaveMusicLists(const int64_t*, int, int64_t*) {
    std::vector<SongRow> background = ReadRows(units::kBackgroundList);
    std::vector<SongRow> favourites = ReadRows(units::kFavouriteList);
    std::string number = ReadTextProperty(units::kSavedNumberEdit, units::kPropertyCaption).c_str();
    std::string directory = OwnedText(CoreCommand(&RunDirectory, {})).c_str();
    std::string path = directory + "/" + SavedFileName(number);
    std::string text = SavedListsText(number, background, favourites);

    void* bytes = RecordPointer(CoreCommand(&ToBytes, {TextArg(text.c_str())}));
    bool written =
        RecordInt(CoreCommand(&WriteFileBytes, {TextArg(path.c_str()), PointerArg(bytes, kTypeByteSet)})) != 0;
    kServices.FreeMemory(bytes);
    if (written) {
        std::string message = "“" + SavedFileName(number) + "”已保存在软件运行目录下！";
        ShowBox(message.c_str(), 0x40, "保存完成：");
    } else {
        ShowBox("保存失败！", 0x40, "失败提醒：");
    }
    return false;
}

}  // namespace lyra::app
