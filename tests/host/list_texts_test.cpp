#include <gtest/gtest.h>

#include "app/list_texts.h"

namespace lyra::app {
namespace {

TEST(ListTexts, RowIdsHaveTwoDigitsBelowTen) {
    EXPECT_EQ(RowIdText(1), "01");
    EXPECT_EQ(RowIdText(9), "09");
    EXPECT_EQ(RowIdText(10), "10");
    EXPECT_EQ(RowIdText(12), "12");
    EXPECT_EQ(RowIdText(100), "100");
}

TEST(ListTexts, SavedFileOfTheExampleLookup) {
    std::vector<SongRow> background = {{"02", "S2", "T2", "U2"}, {"01", "S1", "T1", "U1"}};
    EXPECT_EQ(SavedListsText("10001", background, {}),
              "10001【背景音乐列表】\r\n\r\n"
              "ID：02\r\n歌手名：S2\r\n歌曲名：T2\r\n音乐地址：U2\r\n\r\n"
              "ID：01\r\n歌手名：S1\r\n歌曲名：T1\r\n音乐地址：U1\r\n\r\n"
              "\r\n"
              "10001【收藏音乐列表】\r\n\r\n没有发现“收藏音乐”！\r\n");
}

TEST(ListTexts, FavouriteRecordsEndWithTwoEmptyLines) {
    std::vector<SongRow> favourites = {{"01", "A", "B", "C"}};
    EXPECT_EQ(SavedListsText("", {}, favourites),
              "【背景音乐列表】\r\n\r\n没有发现“背景音乐”！\r\n\r\n\r\n"
              "【收藏音乐列表】\r\n\r\nID：01\r\n歌手名：A\r\n歌曲名：B\r\n音乐地址：C\r\n\r\n\r\n");
}

TEST(ListTexts, LabelsUseFullWidthColons) {
    std::string row = WholeRowText({"", "", "", ""});
    EXPECT_EQ(row, "ID：\r\n歌手名：\r\n歌曲名：\r\n音乐地址：\r\n");
    EXPECT_NE(row.find("\xA3\xBA"), std::string::npos) << "GBK A3 BA";
    EXPECT_EQ(SavedFileName(""), "LYRABOXMQ_.txt");
    EXPECT_EQ(SavedFileName("10001"), "LYRABOXMQ_10001.txt");
}

TEST(ListTexts, ANumberIsSavableUnlessItLeavesAPlainFileName) {
    for (const char* refused : {"\\..\\..\\esc", "../esc", "1:s", "a*b", "a?b", "\"1\"", "<1", "1>", "1|2",
                                "1\x01", "\t1", "1\r\n", "1\x1F", "1\x7F"}) {
        EXPECT_FALSE(SavableNumber(refused)) << refused;
    }
    // GBK characters whose trail byte is '\\' or '|', and a lone lead byte at the end.
    for (const char* kept : {"", "10001", "CON", "NUL", "a.b", " 12 ", "..", "请输入要查询的QQ", "\x95\x5C", "\x81\x7C" "1",
                             "1\x81"}) {
        EXPECT_TRUE(SavableNumber(kept)) << kept;
    }
}

}  // namespace
}  // namespace lyra::app
