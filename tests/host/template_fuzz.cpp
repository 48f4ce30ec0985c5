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

// The readers that answer false on a damaged block: what they read writes
// out, and that reads back to the same block.
template <typename Properties>
void RoundTrip(const uint8_t* block, size_t size, bool (*read)(const uint8_t*, size_t, Properties*),
               std::vector<uint8_t> (*write)(const Properties&)) {
    Properties first;
    if (!read(block, size, &first)) return;
    std::vector<uint8_t> written = write(first);
    Properties second;
    if (!read(written.data(), written.size(), &second) || write(second) != written) std::abort();
}

void ReadListViewRecords(const uint8_t* block, size_t size) {
    lyra::ListViewProperties list;
    if (!lyra::ReadListViewBlock(block, size, &list)) return;
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
            RoundTrip(block, size, &lyra::ReadWindowBlock, &lyra::WriteWindowBlock);
            RoundTrip(block, size, &lyra::ReadEditBoxBlock, &lyra::WriteEditBoxBlock);
            RoundTrip(block, size, &lyra::ReadGroupBoxBlock, &lyra::WriteGroupBoxBlock);
            RoundTrip(block, size, &lyra::ReadLabelBlock, &lyra::WriteLabelBlock);
            RoundTrip(block, size, &lyra::ReadListViewBlock, &lyra::WriteListViewBlock);
            RoundTrip(block, size, &lyra::ReadSuperBtnBlock, &lyra::WriteSuperBtnBlock);
            RoundTrip(block, size, &lyra::ReadHyperLinkerBlock, &lyra::WriteHyperLinkerBlock);
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
