// The Label type's property block.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "window_units/property_rows.h"

namespace lyra {

constexpr uint32_t kLabelBlockVersion = 1;

// Own property numbers follow the field order.
struct LabelProperties {
    std::string caption;                         // 0
    uint32_t border = 0;                         // 1: 0..6
    uint32_t textColour = kDefaultColour;        // 2
    uint32_t backgroundColour = kDefaultColour;  // 3: the default is transparent
    std::vector<uint8_t> font;                   // 4
    uint32_t alignment = 0;                      // 5: 0 left, 1 centred, 2 right
    uint32_t verticalAlignment = 0;              // 6: 0 top, 1 centred, 2 bottom
    uint32_t wordWrap = 0;                       // 7
    std::vector<uint8_t> picture;                // 8: a BMP file, drawn behind the caption
};

enum LabelReapply : uint32_t { kLabelCaption = 1, kLabelBorder = 2, kLabelFont = 4, kLabelRepaint = 8 };

extern const PropertyTable<LabelProperties> kLabelTable;

inline std::vector<uint8_t> WriteLabelBlock(const LabelProperties& p) { return WriteBlock(kLabelTable, p); }

}  // namespace lyra
