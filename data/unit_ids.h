// The window and unit ids of the program's window template.
#pragma once

#include <cstdint>

namespace lyra::units {

constexpr uint32_t kMainWindow = 0x52010001;
constexpr uint32_t kSavedNumberEdit = 0x16014AF7;     // 编辑框_保存QQ
constexpr uint32_t kMakerLink = 0x16014AB7;           // 超级链接框_宣传
constexpr uint32_t kHelpButton = 0x16014AB0;          // 超级按钮_说明
constexpr uint32_t kAboutButton = 0x16014AB1;         // 超级按钮_关于
constexpr uint32_t kSaveButton = 0x16014AAF;          // 超级按钮_保存音乐列表
constexpr uint32_t kFavouriteList = 0x16014A44;       // 超级列表框_收藏音乐列表
constexpr uint32_t kHintLabel = 0x16014A3E;           // 标_说明
constexpr uint32_t kQueryGroup = 0x16014A35;          // 分组框_查询
constexpr uint32_t kNumberLabel = 0x16014A36;         // 标签_QQ
constexpr uint32_t kNumberEdit = 0x16014A37;          // 编辑框_QQ
constexpr uint32_t kQueryButton = 0x16014A38;         // 超级按钮_查询
constexpr uint32_t kBackgroundList = 0x160117F7;      // 超级列表框_背景音乐列表
constexpr uint32_t kBackgroundTitle = 0x16014A58;     // 标签_背景音乐列表
constexpr uint32_t kFavouriteTitle = 0x16014A59;      // 标签_收藏音乐列表

// Property numbers the application uses.
constexpr int32_t kPropertyVisible = 5;
constexpr int32_t kPropertyDisabled = 6;
constexpr int32_t kPropertyCaption = 8;        // GroupBox caption, EditBox content
constexpr int32_t kPropertyTextColour = 10;    // GroupBox caption colour, EditBox text colour
constexpr int32_t kPropertyMaxLength = 14;     // EditBox
constexpr int32_t kPropertySelectedRow = 35;   // ListView

}  // namespace lyra::units
