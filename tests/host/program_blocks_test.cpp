#include <gtest/gtest.h>

#include <cstring>

#include "data/button_art.h"
#include "data/component_blocks.h"
#include "window_units/components/hyper_linker_block.h"
#include "window_units/components/list_view_block.h"
#include "window_units/components/super_btn_block.h"

namespace lyra {
namespace {

SuperBtnProperties ReadButton(const std::vector<uint8_t>& block) {
    SuperBtnProperties p;
    EXPECT_TRUE(ReadSuperBtnBlock(block.data(), block.size(), &p));
    return p;
}

TEST(ProgramBlocks, MusicListsAreClickableReportListsWithThe79ByteColumnBlock) {
    std::vector<uint8_t> block = MusicListBlock();
    ListViewProperties p;
    ASSERT_TRUE(ReadListViewBlock(block.data(), block.size(), &p));
    EXPECT_EQ(p.viewType, 3);
    EXPECT_EQ(p.clickableHeader, 1);
    EXPECT_EQ(p.hideHeader, 0);
    EXPECT_EQ(p.columns.size(), 79u);
    EXPECT_TRUE(p.initialItems.empty());
    EXPECT_TRUE(p.itemImages.empty() && p.stateImages.empty() && p.headerImages.empty());
}

TEST(ProgramBlocks, ButtonsCarryTheirLooksAsTheTemplateDescribes) {
    SuperBtnProperties query = ReadButton(QueryButtonBlock());
    EXPECT_EQ(query.pictures[kLookNormal].file, QueryButtonNormalGif());
    EXPECT_EQ(query.pictures[kLookHot].file, QueryButtonHotGif());
    EXPECT_EQ(query.pictures[kLookNormal].file.compare(0, 6, "GIF89a"), 0);
    EXPECT_TRUE(query.caption.empty());
    EXPECT_EQ(query.colours[kLookHot].back, 0x00FFFFFFu);
    EXPECT_EQ(query.colours[kLookNormal].back, 0x00F0F0F0u);

    SuperBtnProperties save = ReadButton(SaveButtonBlock());
    EXPECT_EQ(save.caption, "保存音乐列表");
    EXPECT_EQ(static_cast<uint8_t>(save.caption[0]), 0xB1) << "GBK";
    EXPECT_EQ(save.colours[kLookNormal].text, 0x00FFFFFFu);
    EXPECT_EQ(save.colours[kLookNormal].back, 0x00FF8800u);
    EXPECT_EQ(save.colours[kLookHot].back, 0x000080FFu);
    EXPECT_EQ(save.colours[kLookPressed].back, 0x00FF8800u);
    ASSERT_EQ(save.font.size(), 60u);
    int32_t height;
    std::memcpy(&height, save.font.data(), 4);
    EXPECT_EQ(height, -14);
    EXPECT_EQ(static_cast<uint8_t>(save.font[23]), 134) << "GB2312";
    for (const SuperBtnPicture& picture : save.pictures) EXPECT_TRUE(picture.file.empty());

    for (const auto& badge : {ReadButton(HelpButtonBlock()), ReadButton(AboutButtonBlock())}) {
        EXPECT_EQ(badge.pictures[kLookNormal].file.compare(0, 2, "BM"), 0);
        EXPECT_EQ(badge.enterSound.compare(0, 4, "RIFF"), 0);
    }
    EXPECT_NE(ReadButton(HelpButtonBlock()).pictures[kLookNormal].file,
              ReadButton(AboutButtonBlock()).pictures[kLookNormal].file);
}

TEST(ProgramBlocks, MakerLinkOpensTheConfiguredPage) {
    std::vector<uint8_t> block = MakerLinkBlock("http://127.0.0.1:18080/maker.html");
    HyperLinkerProperties p;
    ASSERT_TRUE(ReadHyperLinkerBlock(block.data(), block.size(), &p));
    EXPECT_EQ(HyperLinkTarget(p), "http://127.0.0.1:18080/maker.html");
    EXPECT_FALSE(p.caption.empty());
}

}  // namespace
}  // namespace lyra
