// The program itself: its real window template builds the whole main window,
// all fifteen units, with the list views, buttons and link as described.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "test_support/processes.h"
#include "test_support/ui_driver.h"

namespace lyra::test {
namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

class ProgramWindow : public ::testing::Test {
protected:
    void SetUp() override {
        std::wstring program = ProgramDirectory() + L"..\\..\\app\\lyrabox.exe";
        ASSERT_TRUE(child_.Start(program, L""));
        ASSERT_TRUE(WaitFor([&] { return (main_ = FindTopLevel(child_.processId(), nullptr, L"Lyrabox")) != nullptr; },
                              30000));
    }

    ChildProcess child_;
    HWND main_ = nullptr;
};

TEST_F(ProgramWindow, BuildsAllFifteenUnits) {
    // Unit 0 is the window; the fourteen components get the identifiers
    // 100, 110, ... in creation order.
    std::vector<HWND> components;
    for (int id = 100; id <= 230; id += 10) {
        HWND control = FindControl(main_, id);
        EXPECT_NE(control, nullptr) << "control " << id;
        components.push_back(control);
    }
    EXPECT_EQ(components.size(), 14u);
    for (int id : {kBackgroundListControl, kFavouriteListControl}) EXPECT_EQ(ClassOf(FindControl(main_, id)), L"SysListView32");
    for (int id : {kQueryButtonControl, kSaveButtonControl, kHelpButtonControl, kAboutButtonControl}) {
        HWND button = FindControl(main_, id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(ClassOf(button), L"Button");
        EXPECT_EQ(GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << "a SuperBtn paints itself";
        EXPECT_TRUE(IsWindowVisible(button));
    }
    EXPECT_EQ(GetParent(FindControl(main_, kQueryButtonControl)), FindControl(main_, kQueryGroupControl)) << "inside 分组框_查询";
    EXPECT_EQ(TextOf(FindControl(main_, kSaveButtonControl)), L"保存音乐列表");
    EXPECT_EQ(TextOf(FindControl(main_, kQueryButtonControl)), L"") << "the query button's pictures carry its face";
    EXPECT_FALSE(TextOf(FindControl(main_, kMakerLinkControl)).empty());
    EXPECT_FALSE(IsWindowVisible(FindControl(main_, kSavedNumberEditControl)));
}

TEST_F(ProgramWindow, BothListsHaveTheFourMusicColumns) {
    for (int id : {kBackgroundListControl, kFavouriteListControl}) {
        HWND list = FindControl(main_, id);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(GetWindowLongPtrW(list, GWL_STYLE) & (LVS_TYPEMASK | LVS_NOSORTHEADER), LVS_REPORT)
            << "report view, clickable header";
        EXPECT_TRUE(GetWindowLongPtrW(list, GWL_STYLE) & WS_TABSTOP);
        std::vector<ColumnInfo> columns = ListColumns(list);
        ASSERT_EQ(columns.size(), 4u) << "list " << id;
        const wchar_t* titles[4] = {L" ID", L"歌手名", L"歌曲名", L"音乐地址"};
        const int widths[4] = {36, 125, 125, 300};
        const int formats[4] = {LVCFMT_LEFT, LVCFMT_CENTER, LVCFMT_CENTER, LVCFMT_CENTER};
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(columns[c].title, titles[c]);
            EXPECT_EQ(columns[c].width, widths[c]);
            EXPECT_EQ(columns[c].format & LVCFMT_JUSTIFYMASK, formats[c]);
        }
        EXPECT_EQ(ListRowCount(list), 0);
    }
}

}  // namespace
}  // namespace lyra::test
