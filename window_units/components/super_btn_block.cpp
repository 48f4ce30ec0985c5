#include "window_units/components/super_btn_block.h"

#include <algorithm>
#include <iterator>

namespace lyra {

namespace {

int32_t Clamp(int32_t v, int32_t low, int32_t high) { return std::min(std::max(v, low), high); }

template <int Look>
std::string& PictureFile(SuperBtnProperties& p) { return p.pictures[Look].file; }
template <int Look>
int32_t& PictureWord(SuperBtnProperties& p) { return p.pictures[Look].word; }
template <int Look>
uint32_t& TextColour(SuperBtnProperties& p) { return p.colours[Look].text; }
template <int Look>
uint32_t& BackColour(SuperBtnProperties& p) { return p.colours[Look].back; }

bool ClampAfterReading(SuperBtnProperties* p) {
    ClampSuperBtnProperties(p);
    return true;
}

using P = SuperBtnProperties;
constexpr PropertyRow<P> kRows[] = {
    Row<&P::buttonType, kKindChoice>("按钮类型", "ButtonType", kButtonRepaint),
    Row<&P::styleWord, kKindInteger>("样式", "Style", kButtonRecreate),
    Row<&P::pressed, kKindLogical>("按下", "Pressed", kButtonRepaint),
    Row<&P::pictureAlignment, kKindChoice>("图片对齐方式", "PictureAlignment", kButtonRepaint),
    Row<&P::switch4, kKindLogical>("开关", "Switch", kButtonRepaint),
    Row<&P::layout5, kKindInteger>("横向间距", "LayoutX", kButtonRepaint),
    Row<&P::layout6, kKindInteger>("纵向间距", "LayoutY", kButtonRepaint),
    Row<&PictureFile<kLookHot>, kKindPicture>("热点图片", "HotPicture", kButtonPictures),
    Row<&PictureWord<kLookHot>, kKindInteger>("热点图片位移", "HotPictureWord", kButtonRepaint),
    Row<&PictureFile<kLookNormal>, kKindPicture>("正常图片", "NormalPicture", kButtonPictures),
    Row<&PictureWord<kLookNormal>, kKindInteger>("正常图片位移", "NormalPictureWord", kButtonRepaint),
    Row<&PictureFile<kLookPressed>, kKindPicture>("按下图片", "PressedPicture", kButtonPictures),
    Row<&PictureWord<kLookPressed>, kKindInteger>("按下图片位移", "PressedPictureWord", kButtonRepaint),
    Row<&P::font, kKindFont>("字体", "Font", kButtonFont),
    Row<&P::caption, kKindText>("标题", "Caption", kReadWindowText | kButtonCaption),
    Row<&P::useColours, kKindLogical>("使用颜色", "UseColors", kButtonRepaint),
    Row<&TextColour<kLookNormal>, kKindColour>("正常文本颜色", "NormalTextColor", kButtonRepaint),
    Row<&BackColour<kLookNormal>, kKindColour>("正常背景颜色", "NormalBackColor", kButtonRepaint),
    Row<&TextColour<kLookHot>, kKindColour>("热点文本颜色", "HotTextColor", kButtonRepaint),
    Row<&BackColour<kLookHot>, kKindColour>("热点背景颜色", "HotBackColor", kButtonRepaint),
    Row<&TextColour<kLookPressed>, kKindColour>("按下文本颜色", "PressedTextColor", kButtonRepaint),
    Row<&BackColour<kLookPressed>, kKindColour>("按下背景颜色", "PressedBackColor", kButtonRepaint),
    Row<&P::builtInSound, kKindLogical>("内置声音", "BuiltInSound", kButtonRepaint),
    Row<&P::enterSound, kKindSound>("进入声音", "EnterSound", kButtonRepaint),
    Row<&P::clickSound, kKindSound>("单击声音", "ClickSound", kButtonRepaint),
    Row<&P::tip, kKindText>("提示文本", "Text", kButtonRepaint),
    Row<&P::switch26, kKindLogical>("开关二", "Switch2", kButtonRepaint),
};
// The block keeps the pictures by look (normal, hot, pressed).
constexpr uint8_t kBlockOrder[] = {0,  1,  2,  3,  4,  5,  6,  9,  10, 7,  8,  11, 12, 13,
                                   14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26};
static_assert(std::size(kBlockOrder) == std::size(kRows) && NamesEveryRowOnce(kBlockOrder), "every row once in the block");

}  // namespace

constexpr PropertyTable<SuperBtnProperties> kSuperBtnTable =
    TableOf<kRows>(kSuperBtnBlockVersion, &ClampAfterReading, kBlockOrder);

void ClampSuperBtnProperties(SuperBtnProperties* p) {
    p->buttonType = Clamp(p->buttonType, 0, 2);
    p->pictureAlignment = Clamp(p->pictureAlignment, 0, 3);
    p->switch4 = Clamp(p->switch4, 0, 1);
    p->switch26 = Clamp(p->switch26, 0, 1);
}

}  // namespace lyra
