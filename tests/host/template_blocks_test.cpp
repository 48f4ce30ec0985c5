// Property blocks of the window, EditBox, GroupBox and Label types: each
// reads back what it wrote.
#include <gtest/gtest.h>

#include "window_units/components/edit_box_block.h"
#include "window_units/components/group_box_block.h"
#include "window_units/components/label_block.h"
#include "window_units/components/window_block.h"
#include "window_units/property_block.h"

namespace lyra {
namespace {

template <typename Properties>
Properties Reread(const PropertyTable<Properties>& table, const std::vector<uint8_t>& bytes) {
    Properties read;
    EXPECT_TRUE(ReadBlock(table, bytes.data(), bytes.size(), &read));
    return read;
}

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
    EditBoxProperties editRead = Reread(kEditBoxTable, editBytes);
    EXPECT_EQ(WriteEditBoxBlock(editRead), editBytes);
    EXPECT_EQ(editRead.content, edit.content);
    EXPECT_EQ(editRead.maxLength, -5);
    EXPECT_EQ(editRead.passwordChar, "#");

    GroupBoxProperties group;
    group.caption = "查询";
    group.alignment = 1;
    group.captionColour = 0xFF;
    std::vector<uint8_t> groupBytes = WriteGroupBoxBlock(group);
    EXPECT_EQ(WriteGroupBoxBlock(Reread(kGroupBoxTable, groupBytes)), groupBytes);

    LabelProperties label;
    label.caption = "ＱＱ：";
    label.picture = {0x42, 0x4D, 1, 2};
    label.wordWrap = 1;
    std::vector<uint8_t> labelBytes = WriteLabelBlock(label);
    EXPECT_EQ(WriteLabelBlock(Reread(kLabelTable, labelBytes)), labelBytes);

    WindowProperties window;
    window.caption = "Lyrabox";
    window.icon = {0, 0, 1, 0};
    std::vector<uint8_t> windowBytes = WriteWindowBlock(window);
    EXPECT_EQ(WriteWindowBlock(Reread(kWindowTable, windowBytes)), windowBytes);
}

TEST(PropertyBlocks, GroupBoxAlignmentIsClamped) {
    GroupBoxProperties group;
    group.alignment = 7;
    EXPECT_EQ(Reread(kGroupBoxTable, WriteGroupBoxBlock(group)).alignment, 2);
    group.alignment = -3;
    EXPECT_EQ(Reread(kGroupBoxTable, WriteGroupBoxBlock(group)).alignment, 0);
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
