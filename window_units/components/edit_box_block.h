// The EditBox type's property block.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "window_units/property_rows.h"

namespace lyra {

constexpr uint32_t kEditBoxBlockVersion = 1;

enum EditInputMode : uint32_t { kInputNormal = 0, kInputReadOnly = 1, kInputPassword = 2, kInputModeLast = 11 };

// Own property numbers follow the field order.
struct EditBoxProperties {
    std::string content;                         // 0
    uint32_t border = 1;                         // 1: 0..5, as the list view's border values
    uint32_t textColour = kDefaultColour;        // 2
    uint32_t backgroundColour = kDefaultColour;  // 3
    std::vector<uint8_t> font;                   // 4
    uint32_t keepSelection = 0;                  // 5: selection stays visible without the focus
    int32_t maxLength = 0;                       // 6: characters; 0 no limit
    uint32_t multiLine = 0;                      // 7
    uint32_t scrollBars = 0;                     // 8: 0 none, 1 horizontal, 2 vertical, 3 both (multi-line)
    uint32_t alignment = 0;                      // 9: 0 left, 1 centred, 2 right
    uint32_t inputMode = kInputNormal;           // 10: 0..11
    std::string passwordChar = "*";              // 11
};

// What a write re-applies. Multi-line, scroll bars, alignment and the
// selection switch take effect when the control is built again.
enum EditBoxReapply : uint32_t {
    kEditContent = 1, kEditBorder = 2, kEditTextColour = 4, kEditBackground = 8, kEditFont = 16, kEditLimit = 32,
    kEditInputMode = 64,
};

extern const PropertyTable<EditBoxProperties> kEditBoxTable;

inline std::vector<uint8_t> WriteEditBoxBlock(const EditBoxProperties& p) { return WriteBlock(kEditBoxTable, p); }

}  // namespace lyra
