// Property blocks of the window, EditBox, GroupBox and Label types: each
// reads back what it wrote, short blocks keep the defaults, cut fields are
// refused.
#include <gtest/gtest.h>

#include "runtime/framework/archive.h"
#include "window_units/components/edit_box_block.h"
#include "window_units/components/group_box_block.h"
#include "window_units/components/label_block.h"
#include "window_units/components/window_block.h"
#include "window_units/property_block.h"

namespace lyra {
namespace {

TEST(PropertyBlocks, EachTypeReadsBackWhatItWrote) {
    EditBoxProperties edit;
    edit.content = "请输入要查询的QQ";
    edit.border = 3;
    edit.textColour = 0x808080;
    edit.backgroundColour = 0x80000005;
    edit.font = MakeFontBlock(-16, 700, "宋体");
    edit.maxLength = -5;
    edit.inputMode = kInputPassword;
    edit.passwordChar = "#";
    std::vector<uint8_t> editBytes = WriteEditBoxBlock(edit);
    EditBoxProperties editRead = ReadEditBoxBlock(editBytes.data(), editBytes.size());
    EXPECT_EQ(WriteEditBoxBlock(editRead), editBytes);
    EXPECT_EQ(editRead.content, edit.content);
    EXPECT_EQ(editRead.maxLength, -5);
    EXPECT_EQ(editRead.passwordChar, "#");

    GroupBoxProperties group;
    group.caption = "查询";
    group.alignment = 1;
    group.captionColour = 0xFF;
    std::vector<uint8_t> groupBytes = WriteGroupBoxBlock(group);
    EXPECT_EQ(WriteGroupBoxBlock(ReadGroupBoxBlock(groupBytes.data(), groupBytes.size())), groupBytes);

    LabelProperties label;
    label.caption = "ＱＱ：";
    label.picture = {0x42, 0x4D, 1, 2};
    label.wordWrap = 1;
    std::vector<uint8_t> labelBytes = WriteLabelBlock(label);
    EXPECT_EQ(WriteLabelBlock(ReadLabelBlock(labelBytes.data(), labelBytes.size())), labelBytes);

    WindowProperties window;
    window.caption = "Lyrabox";
    window.icon = {0, 0, 1, 0};
    std::vector<uint8_t> windowBytes = WriteWindowBlock(window);
    EXPECT_EQ(WriteWindowBlock(ReadWindowBlock(windowBytes.data(), windowBytes.size())), windowBytes);
}

TEST(PropertyBlocks, TheHeaderAloneAndAnEmptyBlockGiveTheDefaults) {
    for (const std::vector<uint8_t>& block : {MinimalPropertyBlock(1), std::vector<uint8_t>()}) {
        EditBoxProperties edit = ReadEditBoxBlock(block.data(), block.size());
        EXPECT_EQ(WriteEditBoxBlock(edit), WriteEditBoxBlock(EditBoxProperties()));
        LabelProperties label = ReadLabelBlock(block.data(), block.size());
        EXPECT_EQ(label.backgroundColour, kDefaultColour);
        EXPECT_TRUE(ReadGroupBoxBlock(block.data(), block.size()).caption.empty());
        EXPECT_EQ(ReadWindowBlock(block.data(), block.size()).borderStyle, 1u);
    }
}

TEST(PropertyBlocks, AFieldCutInTheMiddleIsRefused) {
    LabelProperties label;
    label.caption = "★ 背景音乐列表 ★";
    label.font = MakeFontBlock(-12, 400, "");
    std::vector<uint8_t> bytes = WriteLabelBlock(label);
    // Cut inside the caption's text, inside the font block, inside a word.
    for (size_t cut : {size_t{26}, size_t{30}, size_t{24 + 4 + label.caption.size() + 4 + 4 + 4 + 10},
                       bytes.size() - 2}) {
        EXPECT_THROW(ReadLabelBlock(bytes.data(), cut), framework::ArchiveError) << cut;
    }
    EXPECT_THROW(ReadLabelBlock(bytes.data(), 10), framework::ArchiveError) << "a header cut short";
}

TEST(PropertyBlocks, GroupBoxAlignmentIsClamped) {
    GroupBoxProperties group;
    group.alignment = 7;
    std::vector<uint8_t> bytes = WriteGroupBoxBlock(group);
    EXPECT_EQ(ReadGroupBoxBlock(bytes.data(), bytes.size()).alignment, 2);
    group.alignment = -3;
    bytes = WriteGroupBoxBlock(group);
    EXPECT_EQ(ReadGroupBoxBlock(bytes.data(), bytes.size()).alignment, 0);
}

TEST(LogFontBlocks, EncodeAndDecodeSixtyBytes) {
    std::vector<uint8_t> bytes = MakeFontBlock(-12, 400, "宋体");
    ASSERT_EQ(bytes.size(), 60u);
    EXPECT_EQ(bytes[23], 134) << "GB2312 character set";
    LogFontFields font;
    ASSERT_TRUE(DecodeLogFont(bytes, &font));
    EXPECT_EQ(font.height, -12);
    EXPECT_EQ(font.weight, 400);
    EXPECT_EQ(font.faceName, "宋体");
    EXPECT_EQ(EncodeLogFont(font), bytes);

    font.faceName = std::string(40, 'x');
    std::vector<uint8_t> longFace = EncodeLogFont(font);
    ASSERT_EQ(longFace.size(), 60u);
    EXPECT_EQ(longFace[59], 0) << "the face name stays terminated";
    ASSERT_TRUE(DecodeLogFont(longFace, &font));
    EXPECT_EQ(font.faceName.size(), 31u);

    EXPECT_FALSE(DecodeLogFont(std::vector<uint8_t>(59), &font));
    EXPECT_FALSE(DecodeLogFont(std::vector<uint8_t>(), &font));
}

}  // namespace
}  // namespace lyra
