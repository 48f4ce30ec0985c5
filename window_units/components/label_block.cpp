#include "window_units/components/label_block.h"

#include <iterator>

namespace lyra {

namespace {

using P = LabelProperties;
constexpr PropertyRow<P> kRows[] = {
    Row<&P::caption, kKindText>("标题", "caption", kReadWindowText | kLabelCaption),
    Row<&P::border, kKindChoice>("边框", "border", kLabelBorder | kLabelRepaint),
    Row<&P::textColour, kKindColour>("文本颜色", "textColour", kLabelRepaint),
    Row<&P::backgroundColour, kKindColour>("背景颜色", "backgroundColour", kLabelRepaint),
    Row<&P::font, kKindFont>("字体", "font", kLabelFont | kLabelRepaint),
    Row<&P::alignment, kKindChoice>("横向对齐方式", "alignment", kLabelRepaint),
    Row<&P::verticalAlignment, kKindChoice>("纵向对齐方式", "verticalAlignment", kLabelRepaint),
    Row<&P::wordWrap, kKindLogical>("是否自动折行", "wordWrap", kLabelRepaint),
    Row<&P::picture, kKindPicture>("底图", "picture", kLabelRepaint),
};

}  // namespace

constexpr PropertyTable<LabelProperties> kLabelTable = TableOf<kRows>(kLabelBlockVersion);

}  // namespace lyra
