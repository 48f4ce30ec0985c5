#include "window_units/components/edit_box_block.h"

#include <iterator>

namespace lyra {

namespace {

int32_t NoNegativeLength(int32_t length) { return length < 0 ? 0 : length; }
int32_t ClampInputMode(int32_t mode) {
    const int32_t last = kInputModeLast;
    return mode < 0 ? 0 : mode > last ? last : mode;
}

using P = EditBoxProperties;
constexpr PropertyRow<P> kRows[] = {
    Row<&P::content, kKindText>("内容", "content", kReadWindowText | kEditContent),
    Row<&P::border, kKindChoice>("边框", "border", kEditBorder),
    Row<&P::textColour, kKindColour>("文本颜色", "textColour", kEditTextColour),
    Row<&P::backgroundColour, kKindColour>("背景颜色", "backgroundColour", kEditBackground),
    Row<&P::font, kKindFont>("字体", "font", kEditFont),
    Row<&P::keepSelection, kKindLogical>("隐藏选择", "keepSelection"),
    Row<&P::maxLength, kKindInteger>("最大允许长度", "maxLength", kEditLimit, &NoNegativeLength),
    Row<&P::multiLine, kKindLogical>("是否允许多行", "multiLine"),
    Row<&P::scrollBars, kKindChoice>("滚动条", "scrollBars"),
    Row<&P::alignment, kKindChoice>("对齐方式", "alignment"),
    Row<&P::inputMode, kKindChoice>("输入方式", "inputMode", kEditInputMode, &ClampInputMode),
    Row<&P::passwordChar, kKindText>("密码遮盖字符", "passwordChar", kEditInputMode),
};

}  // namespace

constexpr PropertyTable<EditBoxProperties> kEditBoxTable = TableOf<kRows>(kEditBoxBlockVersion);

}  // namespace lyra
