// The property blocks of the program's ListView, SuperBtn and HyperLinker
// units in the template description, read back with the types' readers.
#include <gtest/gtest.h>

#include <cstring>

#include "data/window_template.h"
#include "window_units/components/hyper_linker_block.h"
#include "window_units/components/list_view_block.h"
#include "window_units/components/super_btn_block.h"

namespace lyra {
namespace {

const UnitRecord& Unit(const WindowTemplate& t, uint32_t id) {
    for (const UnitRecord& unit : t.windows.at(0).units) {
        if (unit.id == id) return unit;
    }
    throw std::out_of_range("no such unit");
}

SuperBtnProperties Button(const WindowTemplate& t, uint32_t id) {
    const UnitRecord& unit = Unit(t, id);
    SuperBtnProperties p;
    EXPECT_TRUE(ReadBlock(kSuperBtnTable, unit.propertyBlock.data(), unit.propertyBlock.size(), &p)) << unit.name;
    return p;
}

TEST(ProgramBlocks, BothMusicListsAreClickableReportListsWithThe79ByteColumnBlock) {
    WindowTemplate t = ProgramWindowTemplate();
    for (uint32_t id : {uint32_t{units::kBackgroundList}, uint32_t{units::kFavouriteList}}) {
        const UnitRecord& unit = Unit(t, id);
        ListViewProperties p;
        ASSERT_TRUE(ReadBlock(kListViewTable, unit.propertyBlock.data(), unit.propertyBlock.size(), &p));
        EXPECT_EQ(p.viewType, 3);
        EXPECT_EQ(p.clickableHeader, 1);
        EXPECT_EQ(p.hideHeader, 0);
        EXPECT_EQ(p.columns, WriteColumnBlock(MusicListColumns()));
        EXPECT_EQ(p.columns.size(), 79u);
        EXPECT_TRUE(p.initialItems.empty());
        EXPECT_TRUE(p.itemImages.empty() && p.stateImages.empty() && p.headerImages.empty());
    }
}

TEST(ProgramBlocks, ButtonsCarryTheirLooksPicturesAndSounds) {
    WindowTemplate t = ProgramWindowTemplate();
    SuperBtnProperties query = Button(t, units::kQueryButton);
    EXPECT_EQ(query.pictures[kLookNormal].file.compare(0, 6, "GIF89a"), 0);
    EXPECT_EQ(query.pictures[kLookHot].file.compare(0, 6, "GIF89a"), 0);
    EXPECT_NE(query.pictures[kLookNormal].file, query.pictures[kLookHot].file);
    EXPECT_TRUE(query.caption.empty());
    EXPECT_EQ(query.colours[kLookNormal].back, 0x00F0F0F0u);
    EXPECT_EQ(query.colours[kLookHot].back, 0x00FFFFFFu);

    SuperBtnProperties save = Button(t, units::kSaveButton);
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
    for (const SuperBtnPicture& picture : save.pictures) EXPECT_TRUE(picture.file.empty());

    for (uint32_t id : {uint32_t{units::kHelpButton}, uint32_t{units::kAboutButton}}) {
        SuperBtnProperties badge = Button(t, id);
        EXPECT_EQ(badge.pictures[kLookNormal].file.compare(0, 2, "BM"), 0);
        EXPECT_FALSE(badge.enterSound.empty() && badge.clickSound.empty()) << "a WAVE sound";
    }
}

TEST(ProgramBlocks, MakerLinkOpensTheMakersPage) {
    WindowTemplate t = ProgramWindowTemplate();
    const UnitRecord& unit = Unit(t, units::kMakerLink);
    HyperLinkerProperties p;
    ASSERT_TRUE(ReadBlock(kHyperLinkerTable, unit.propertyBlock.data(), unit.propertyBlock.size(), &p));
    EXPECT_FALSE(p.caption.empty());
    EXPECT_EQ(HyperLinkTarget(p).compare(0, 7, "http://"), 0);
}

}  // namespace
}  // namespace lyra
