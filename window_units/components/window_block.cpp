#include "window_units/components/window_block.h"

#include <iterator>

namespace lyra {

namespace {

int32_t AsSwitch(int32_t value) { return value != 0 ? 1 : 0; }

using P = WindowProperties;
constexpr PropertyRow<P> kRows[] = {
    Row<&P::caption, kKindText>("标题", "caption", kReadWindowText | kWindowCaption),
    Row<&P::borderStyle, kKindChoice>("边框", "borderStyle"),
    Row<&P::controlBox, kKindLogical>("控制按钮", "controlBox"),
    Row<&P::maxButton, kKindLogical>("最大化按钮", "maxButton"),
    Row<&P::minButton, kKindLogical>("最小化按钮", "minButton"),
    Row<&P::startPosition, kKindChoice>("位置", "startPosition"),
    Row<&P::backgroundColour, kKindColour>("底色", "backgroundColour", kWindowBackground),
    Row<&P::topmost, kKindLogical>("总在最前", "topmost", kWindowTopmost, &AsSwitch),
    Row<&P::icon, kKindPicture>("图标", "icon"),
    // Read: whether the icon is in the notification area now.
    Row<&P::notificationIcon, kKindLogical>("通知区域图标", "notificationIcon", kReadLive | kWindowNotifyIcon,
                                            &AsSwitch),
};

}  // namespace

constexpr PropertyTable<WindowProperties> kWindowTable = TableOf<kRows>(kWindowBlockVersion);

}  // namespace lyra
