#include "window_units/components/group_box_block.h"

#include <iterator>

namespace lyra {

namespace {

bool ClampAlignment(GroupBoxProperties* p) {
    p->alignment = ClampGroupBoxAlignment(p->alignment);
    return true;
}

using P = GroupBoxProperties;
constexpr PropertyRow<P> kRows[] = {
    Row<&P::caption, kKindText>("标题", "caption", kReadWindowText | kGroupCaption | kGroupRepaint),
    Row<&P::alignment, kKindChoice>("标题对齐方式", "alignment", kGroupAlignment, &ClampGroupBoxAlignment),
    Row<&P::captionColour, kKindColour>("标题颜色", "captionColour", kGroupRepaint),
    Row<&P::backgroundColour, kKindColour>("背景颜色", "backgroundColour", kGroupBackground | kGroupRepaint),
    Row<&P::font, kKindFont>("字体", "font", kGroupFont | kGroupRepaint),
};

}  // namespace

constexpr PropertyTable<GroupBoxProperties> kGroupBoxTable = TableOf<kRows>(kGroupBoxBlockVersion, &ClampAlignment);

}  // namespace lyra
