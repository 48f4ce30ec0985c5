// The program's window template as data: one window, the start window, with
// its fifteen units. The template compiler (tools/) writes it out as the
// binary template that the program embeds.
#pragma once

#include <cstdint>

#include "window_units/template_format.h"

namespace lyra {

constexpr uint32_t kStartWindowId = 0x52010001;

// Unit ids of the start window.
enum StartWindowUnit : uint32_t {
    kUnitSavedQq = 0x16014AF7,           // 编辑框_保存QQ
    kUnitMakerLink = 0x16014AB7,         // 超级链接框_宣传
    kUnitHelpButton = 0x16014AB0,        // 超级按钮_说明
    kUnitAboutButton = 0x16014AB1,       // 超级按钮_关于
    kUnitSaveButton = 0x16014AAF,        // 超级按钮_保存音乐列表
    kUnitFavouriteList = 0x16014A44,     // 超级列表框_收藏音乐列表
    kUnitHintLabel = 0x16014A3E,         // 标_说明
    kUnitQueryGroup = 0x16014A35,        // 分组框_查询
    kUnitQqLabel = 0x16014A36,           // 标签_QQ
    kUnitQqEdit = 0x16014A37,            // 编辑框_QQ
    kUnitQueryButton = 0x16014A38,       // 超级按钮_查询
    kUnitBackgroundList = 0x160117F7,    // 超级列表框_背景音乐列表
    kUnitBackgroundTitle = 0x16014A58,   // 标签_背景音乐列表
    kUnitFavouriteTitle = 0x16014A59,    // 标签_收藏音乐列表
};

WindowTemplate ProgramWindowTemplate();

}  // namespace lyra
