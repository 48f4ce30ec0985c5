// The window type's property block.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "window_units/property_rows.h"

namespace lyra {

constexpr uint32_t kWindowBlockVersion = 1;

// Own property numbers follow the field order.
struct WindowProperties {
    std::string caption;                         // 0
    uint32_t borderStyle = 1;                    // 1: 0 none, 1 fixed, 2 sizable, 3 dialog frame, 4 tool window
    uint32_t controlBox = 1;                     // 2
    uint32_t maxButton = 0;                      // 3
    uint32_t minButton = 1;                      // 4
    uint32_t startPosition = 0;                  // 5: 0 the stored position, 1 centred on the screen
    uint32_t backgroundColour = kDefaultColour;  // 6
    uint32_t topmost = 0;                        // 7
    std::vector<uint8_t> icon;                   // 8: an icon file; empty means the program's icon
    uint32_t notificationIcon = 0;               // 9: the program's icon in the notification area
};

// What a write re-applies. Frame changes (border, control box, buttons,
// position) take effect when the window is built again.
enum WindowReapply : uint32_t { kWindowCaption = 1, kWindowBackground = 2, kWindowTopmost = 4, kWindowNotifyIcon = 8 };

extern const PropertyTable<WindowProperties> kWindowTable;

inline std::vector<uint8_t> WriteWindowBlock(const WindowProperties& p) { return WriteBlock(kWindowTable, p); }

}  // namespace lyra
