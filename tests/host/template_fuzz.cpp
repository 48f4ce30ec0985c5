// libFuzzer target for the window template reader and the property block
// readers: any input is either read whole or refused with ArchiveError, and
// whatever is read writes out and reads back the same.
#include <cstdlib>

#include "runtime/framework/archive.h"
#include "window_units/components/edit_box_block.h"
#include "window_units/components/group_box_block.h"
#include "window_units/components/label_block.h"
#include "window_units/components/window_block.h"
#include "window_units/template_format.h"

namespace {

void ReadBlocks(const lyra::WindowTemplate& windowTemplate) {
    for (const lyra::WindowRecord& window : windowTemplate.windows) {
        for (const lyra::UnitRecord& unit : window.units) {
            const uint8_t* block = unit.propertyBlock.data();
            size_t size = unit.propertyBlock.size();
            try {
                lyra::WriteWindowBlock(lyra::ReadWindowBlock(block, size));
                lyra::WriteEditBoxBlock(lyra::ReadEditBoxBlock(block, size));
                lyra::WriteGroupBoxBlock(lyra::ReadGroupBoxBlock(block, size));
                lyra::WriteLabelBlock(lyra::ReadLabelBlock(block, size));
            } catch (const framework::ArchiveError&) {
            }
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
