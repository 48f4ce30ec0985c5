// The GroupBox type's property block.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "window_units/property_rows.h"

namespace lyra {

constexpr uint32_t kGroupBoxBlockVersion = 1;

// Own property numbers follow the field order.
struct GroupBoxProperties {
    std::string caption;                         // 0
    int32_t alignment = 0;                       // 1: 0 left, 1 centred, 2 right
    uint32_t captionColour = kDefaultColour;     // 2
    uint32_t backgroundColour = kDefaultColour;  // 3
    std::vector<uint8_t> font;                   // 4
};

// Values above 2 count as 2, below 0 as 0.
inline int32_t ClampGroupBoxAlignment(int32_t alignment) {
    return alignment < 0 ? 0 : alignment > 2 ? 2 : alignment;
}

enum GroupBoxReapply : uint32_t {
    kGroupCaption = 1, kGroupAlignment = 2, kGroupBackground = 4, kGroupFont = 8, kGroupRepaint = 16,
};

extern const PropertyTable<GroupBoxProperties> kGroupBoxTable;

inline std::vector<uint8_t> WriteGroupBoxBlock(const GroupBoxProperties& p) { return WriteBlock(kGroupBoxTable, p); }

}  // namespace lyra
