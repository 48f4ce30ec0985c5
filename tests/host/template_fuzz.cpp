// libFuzzer target for the window template reader and the property block
// readers of every component type: any input is either read whole or
// refused, and whatever is read writes out and reads back the same.
#include <cstdlib>

#include "runtime/framework/archive.h"
#include "window_units/components/edit_box_block.h"
#include "window_units/components/group_box_block.h"
#include "window_units/components/hyper_linker_block.h"
#include "window_units/components/label_block.h"
#include "window_units/components/list_view_block.h"
#include "window_units/components/super_btn_block.h"
#include "window_units/components/window_block.h"
#include "window_units/template_format.h"

namespace {

// Every type's reader answers false on a damaged block: what it read writes
// out, and that reads back to the same block.
template <typename Properties>
void RoundTrip(const uint8_t* block, size_t size, const lyra::PropertyTable<Properties>& table) {
    Properties first;
    if (!lyra::ReadBlock(table, block, size, &first)) return;
    std::vector<uint8_t> written = lyra::WriteBlock(table, first);
    Properties second;
    if (!lyra::ReadBlock(table, written.data(), written.size(), &second) || lyra::WriteBlock(table, second) != written) {
        std::abort();
    }
}

void ReadListViewRecords(const uint8_t* block, size_t size) {
    lyra::ListViewProperties list;
    if (!lyra::ReadBlock(lyra::kListViewTable, block, size, &list)) return;
    std::vector<lyra::ListViewColumn> columns;
    lyra::ReadColumnBlock(list.columns, &columns);
    std::vector<lyra::ListViewInitialCell> cells;
    lyra::ReadInitialItems(list.initialItems, &cells);
}

void ReadBlocks(const lyra::WindowTemplate& windowTemplate) {
    for (const lyra::WindowRecord& window : windowTemplate.windows) {
        for (const lyra::UnitRecord& unit : window.units) {
            const uint8_t* block = unit.propertyBlock.data();
            size_t size = unit.propertyBlock.size();
            RoundTrip(block, size, lyra::kWindowTable);
            RoundTrip(block, size, lyra::kEditBoxTable);
            RoundTrip(block, size, lyra::kGroupBoxTable);
            RoundTrip(block, size, lyra::kLabelTable);
            RoundTrip(block, size, lyra::kListViewTable);
            RoundTrip(block, size, lyra::kSuperBtnTable);
            RoundTrip(block, size, lyra::kHyperLinkerTable);
            ReadListViewRecords(block, size);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lyra::WindowTemplate read;
    try {
        read = lyra::ReadTemplate(data, size);
    } catch (const framework::ArchiveError&) {
        return 0;
    }
    std::vector<uint8_t> written = lyra::WriteTemplate(read);
    if (lyra::WriteTemplate(lyra::ReadTemplate(written.data(), written.size())) != written) std::abort();
    ReadBlocks(read);
    return 0;
}
