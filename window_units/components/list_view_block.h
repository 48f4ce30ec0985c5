// The property block of a ListView and the records inside it: the column
// block and the initial items. Platform-free, so that the template compiler
// writes the program's lists with the same code the component reads them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "window_units/property_rows.h"

namespace lyra {

constexpr uint32_t kListViewBlockVersion = 1;

enum ListViewColumnAlignment : int32_t { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };

struct ListViewColumn {
    bool imageOnRight = false;
    int32_t image = -1;
    int32_t alignment = kAlignLeft;
    int32_t width = 0;
    std::string title;  // GBK
};

// One cell of the design-time rows: newRow starts a row, otherwise the cell
// is the next column of the current row.
struct ListViewInitialCell {
    bool newRow = true;
    int32_t image = -1;
    int32_t stateImage = -1;
    uint32_t data = 0;
    std::string text;
};

// Own properties 0-30, in their own order. Colours are COLORREF words,
// 0xFF000000 for the control's default, or 0x800000nn for system colour nn. Binary fields hold the bytes the
// property block stores (font: a 60-byte LOGFONTA or nothing; image lists:
// an "MITL" block or nothing; columns and initial items: their record
// blocks, see the codecs below).
struct ListViewProperties {
    int32_t border = 1;
    uint32_t textColour = 0x80000008;        // COLOR_WINDOWTEXT
    uint32_t textBackColour = 0x80000005;    // COLOR_WINDOW
    uint32_t backColour = 0x80000005;        // COLOR_WINDOW
    std::string font;
    int32_t viewType = 3;                    // 0 icons, 1 small icons, 2 list, 3 report
    int32_t iconAlignment = 0;
    int32_t autoArrange = 0;
    int32_t wrapLabels = 1;
    std::string columns;
    int32_t hideHeader = 0;
    std::string headerImages;
    int32_t clickableHeader = 1;
    int32_t fullRowSelect = 1;
    int32_t gridLines = 0;
    int32_t headerDragDrop = 0;
    std::string itemImages;
    std::string stateImages;
    int32_t hotTracking = 0;
    int32_t handPointer = 0;
    int32_t underlineCold = 0;
    int32_t underlineHot = 0;
    int32_t labelEditing = 0;
    int32_t sorting = 0;                     // 0 none, 1 ascending, 2 descending
    int32_t checkBoxes = 0;
    int32_t flatScrollBars = 0;
    int32_t singleSelection = 0;
    int32_t currentRow = -1;                 // live only; stored for completeness
    int32_t alwaysShowSelection = 0;
    std::string initialItems;
    int32_t word30 = 0;
};

// What a write re-applies to the live control. A new order is the row
// model's and is taken even before the control exists.
enum ListViewReapply : uint32_t {
    kListOrder = 1, kListColours = 2, kListFont = 4, kListStyles = 8, kListImageLists = 16, kListColumns = 32,
    kListHotCursor = 64, kListSelectRow = 128,
};

// Damaged column or initial-item records make the whole block unreadable.
extern const PropertyTable<ListViewProperties> kListViewTable;

inline std::vector<uint8_t> WriteListViewBlock(const ListViewProperties& p) { return WriteBlock(kListViewTable, p); }

// The column block: the column records one after another, nothing else.
std::string WriteColumnBlock(const std::vector<ListViewColumn>& columns);
bool ReadColumnBlock(const std::string& block, std::vector<ListViewColumn>* columns);

std::string WriteInitialItems(const std::vector<ListViewInitialCell>& cells);
bool ReadInitialItems(const std::string& block, std::vector<ListViewInitialCell>* cells);

// An image-list block carries "MITL", four more bytes, then the image-list
// stream; anything shorter or unmarked means no image list.
bool HasImageList(const std::string& block);
constexpr size_t kImageListStreamOffset = 8;

}  // namespace lyra
