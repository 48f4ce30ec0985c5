// The music lookup: fetch the page of a QQ number, cut it at the marker,
// extract the songs of each half and fill the two lists.
#include <string>

#include "app/extraction_pattern.h"
#include "app/services.h"
#include "app/list_texts.h"
#include "app/regex_object.h"
#include "app/routines.h"
#include "app/text_routines.h"
#include "app/web_access.h"
#include "commands/list_view_commands.h"
#include "data/constants.h"

namespace lyra::app {

namespace {

constexpr int32_t kRed = 0x0000FF;

void SetStatus(const char* text) { WriteTextProperty(units::kQueryGroup, units::kPropertyCaption, text); }

// Each match goes in at the top, so the list ends with the last match first.
void FillList(uint32_t list, RegexObject& regex) {
    int32_t count = regex.MatchCount();
    for (int32_t i = 1; i <= count; ++i) {
        std::string id = RowIdText(i);
        int32_t row = RecordInt(LibraryCommand(kUiLibrary1, &InsertRow, {ListArg(list), IntArg(0), TextArg(id.c_str()),
                                                                      Absent(), Absent(), Absent(), Absent()}));
        for (int32_t column = 1; column <= 3; ++column) {
            OwnedText cell(regex.SubmatchText(i, 4 - column));
            LibraryCommand(kUiLibrary1, &SetCellText, {ListArg(list), IntArg(row), IntArg(column), TextArg(cell.c_str())});
        }
    }
}

}  // namespace

void LookupMusic() {
    RegexObject background;
    RegexObject favourites;
    bool notice = false;

    SetStatus("正在查询……");
    WriteIntProperty(units::kQueryGroup, units::kPropertyDisabled, 1);
    LibraryCommand(kUiLibrary1, &ClearRows, {ListArg(units::kBackgroundList)});
    LibraryCommand(kUiLibrary1, &ClearRows, {ListArg(units::kFavouriteList)});

    std::string address = std::string(kConstants.lookupBase) + "/5.aspx?qq=" +
                          ReadTextProperty(units::kNumberEdit, units::kPropertyCaption).c_str();
    OwnedText page(FetchPage(address.c_str()));
    OwnedText backgroundHalf(TextBeforeMarker(page.c_str(), kSplitMarker));
    OwnedText favouriteHalf(TextAfterLastMarker(page.c_str(), kSplitMarker));

    background.Create(kExtractionPattern, backgroundHalf.c_str());
    favourites.Create(kExtractionPattern, favouriteHalf.c_str());

    if (background.MatchCount() < 1 && favourites.MatchCount() > 0) {
        SetStatus("没有发现“背景音乐”！");
        notice = true;
    }
    if (favourites.MatchCount() < 1 && background.MatchCount() > 0) {
        SetStatus("没有发现“收藏音乐”！");
        notice = true;
    }
    if (background.MatchCount() < 1 && favourites.MatchCount() < 1) {
        SetStatus("没有发现“背景音乐”和“收藏音乐”！");
        notice = true;
    }

    FillList(units::kBackgroundList, background);
    FillList(units::kFavouriteList, favourites);

    WriteIntProperty(units::kQueryGroup, units::kPropertyDisabled, 0);
    WriteIntProperty(units::kQueryGroup, units::kPropertyTextColour, kRed);
    if (!notice) SetStatus("查询完毕！");

    OwnedText number = ReadTextProperty(units::kNumberEdit, units::kPropertyCaption);
    WriteTextProperty(units::kSavedNumberEdit, units::kPropertyCaption, number.c_str());
}

}  // namespace lyra::app
