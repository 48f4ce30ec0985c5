// The music lookup: fetch the page of a QQ number, cut it at the marker,
// extract the songs of each half and fill the two lists.
#include <windows.h>

#include <string>
#include <vector>

#include "app/extraction_pattern.h"
#include "app/services.h"
#include "app/list_texts.h"
#include "app/page_limits.h"
#include "app/routines.h"
#include "app/song_extraction.h"
#include "app/text_routines.h"
#include "app/web_access.h"
#include "commands/list_view_commands.h"
#include "program/constants.h"

namespace lyra::app {

namespace {

constexpr int32_t kRed = 0x0000FF;

void SetStatus(const char* text) { WriteTextProperty(units::kQueryGroup, units::kPropertyCaption, text); }

// Each match goes in at the top, so the list ends with the last match first.
// Songs are inserted as the extraction hands them over. False when the
// deadline passed before every song of the half had come.
bool FillList(uint32_t list, SongExtraction& extraction, int half, int32_t count, uint64_t deadline) {
    std::vector<ExtractedSong> songs;
    int32_t inserted = 0;
    while (extraction.TakeSongs(half, &songs, deadline)) {
        for (const ExtractedSong& song : songs) {
            std::string id = RowIdText(++inserted);
            int32_t row = RecordInt(LibraryCommand(kUiLibrary1, &InsertRow, {ListArg(list), IntArg(0), TextArg(id.c_str()),
                                                                          Absent(), Absent(), Absent(), Absent()}));
            const char* cells[] = {song.singer.c_str(), song.name.c_str(), song.address.c_str()};
            for (int32_t column = 1; column <= 3; ++column) {
                LibraryCommand(kUiLibrary1, &SetCellText,
                               {ListArg(list), IntArg(row), IntArg(column), TextArg(cells[column - 1])});
            }
        }
        songs.clear();
    }
    return inserted == count;
}

}  // namespace

void LookupMusic() {
    bool notice = false;

    // The window thread disabled the query group before starting this worker.
    SetStatus("正在查询……");
    LibraryCommand(kUiLibrary1, &ClearRows, {ListArg(units::kBackgroundList)});
    LibraryCommand(kUiLibrary1, &ClearRows, {ListArg(units::kFavouriteList)});

    std::string address = std::string(kConstants.lookupBase) + "/5.aspx?qq=" +
                          ReadTextProperty(units::kNumberEdit, units::kPropertyCaption).c_str();
    OwnedText page(FetchPage(address.c_str(), kPageLimits));
    OwnedText backgroundHalf(TextBeforeMarker(page.c_str(), kSplitMarker));
    OwnedText favouriteHalf(TextAfterLastMarker(page.c_str(), kSplitMarker));

    // Past the deadline the lookup ends as if nothing had matched.
    const uint64_t deadline = GetTickCount64() + kPageLimits.extractionDeadlineMs;
    SongExtraction extraction(backgroundHalf.c_str(), favouriteHalf.c_str());
    int32_t counts[2] = {0, 0};
    const bool matched = extraction.WaitForCounts(deadline, counts);
    const int32_t backgroundCount = counts[0];
    const int32_t favouriteCount = counts[1];

    if (backgroundCount < 1 && favouriteCount > 0) {
        SetStatus("没有发现“背景音乐”！");
        notice = true;
    }
    if (favouriteCount < 1 && backgroundCount > 0) {
        SetStatus("没有发现“收藏音乐”！");
        notice = true;
    }
    if (backgroundCount < 1 && favouriteCount < 1) {
        SetStatus("没有发现“背景音乐”和“收藏音乐”！");
        notice = true;
    }

    if (matched && !(FillList(units::kBackgroundList, extraction, 0, backgroundCount, deadline) &&
                     FillList(units::kFavouriteList, extraction, 1, favouriteCount, deadline))) {
        LibraryCommand(kUiLibrary1, &ClearRows, {ListArg(units::kBackgroundList)});
        LibraryCommand(kUiLibrary1, &ClearRows, {ListArg(units::kFavouriteList)});
        SetStatus("没有发现“背景音乐”和“收藏音乐”！");
        notice = true;
    }

    WriteIntProperty(units::kQueryGroup, units::kPropertyTextColour, kRed);
    if (!notice) SetStatus("查询完毕！");
    OwnedText number = ReadTextProperty(units::kNumberEdit, units::kPropertyCaption);
    WriteTextProperty(units::kSavedNumberEdit, units::kPropertyCaption, number.c_str());
    // Last: once the group is usable a new lookup may start and a new
    // number be typed; neither may meet this lookup's status or number.
    WriteIntProperty(units::kQueryGroup, units::kPropertyDisabled, 0);
}

}  // namespace lyra::app
