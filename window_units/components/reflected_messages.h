// Notifications a parent window receives from a child control (WM_COMMAND,
// WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*) are sent back by the window units
// to the control itself, as this base + the message with the same wParam
// and lParam, so that each component type handles its own notifications.
#pragma once

#include <windows.h>

namespace lyra {

constexpr UINT kChildNotificationBase = 0x2000;

}  // namespace lyra
