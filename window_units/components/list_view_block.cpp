#include "window_units/components/list_view_block.h"

#include "window_units/components/block_codec.h"

namespace lyra {

std::vector<uint8_t> WriteListViewBlock(const ListViewProperties& p) {
    BlockWriter w(kListViewBlockVersion);
    w.I32(p.border);
    w.U32(p.textColour);
    w.U32(p.textBackColour);
    w.U32(p.backColour);
    w.Counted(p.font);
    w.I32(p.viewType);
    w.I32(p.iconAlignment);
    w.I32(p.autoArrange);
    w.I32(p.wrapLabels);
    w.Counted(p.columns);
    w.I32(p.hideHeader);
    w.Counted(p.headerImages);
    w.I32(p.clickableHeader);
    w.I32(p.fullRowSelect);
    w.I32(p.gridLines);
    w.I32(p.headerDragDrop);
    w.Counted(p.itemImages);
    w.Counted(p.stateImages);
    w.I32(p.hotTracking);
    w.I32(p.handPointer);
    w.I32(p.underlineCold);
    w.I32(p.underlineHot);
    w.I32(p.labelEditing);
    w.I32(p.sorting);
    w.I32(p.checkBoxes);
    w.I32(p.flatScrollBars);
    w.I32(p.singleSelection);
    w.I32(p.currentRow);
    w.I32(p.alwaysShowSelection);
    w.Counted(p.initialItems);
    w.I32(p.word30);
    return w.Take();
}

bool ReadListViewBlock(const uint8_t* data, size_t size, ListViewProperties* properties) {
    ListViewProperties p;
    try {
        framework::MemoryArchive a(data, size);
        if (ReadBlockHeader(a) != kListViewBlockVersion) return false;
        p.border = a.ReadI32();
        p.textColour = a.ReadU32();
        p.textBackColour = a.ReadU32();
        p.backColour = a.ReadU32();
        p.font = ReadCounted(a);
        p.viewType = a.ReadI32();
        p.iconAlignment = a.ReadI32();
        p.autoArrange = a.ReadI32();
        p.wrapLabels = a.ReadI32();
        p.columns = ReadCounted(a);
        p.hideHeader = a.ReadI32();
        p.headerImages = ReadCounted(a);
        p.clickableHeader = a.ReadI32();
        p.fullRowSelect = a.ReadI32();
        p.gridLines = a.ReadI32();
        p.headerDragDrop = a.ReadI32();
        p.itemImages = ReadCounted(a);
        p.stateImages = ReadCounted(a);
        p.hotTracking = a.ReadI32();
        p.handPointer = a.ReadI32();
        p.underlineCold = a.ReadI32();
        p.underlineHot = a.ReadI32();
        p.labelEditing = a.ReadI32();
        p.sorting = a.ReadI32();
        p.checkBoxes = a.ReadI32();
        p.flatScrollBars = a.ReadI32();
        p.singleSelection = a.ReadI32();
        p.currentRow = a.ReadI32();
        p.alwaysShowSelection = a.ReadI32();
        p.initialItems = ReadCounted(a);
        p.word30 = a.ReadI32();
    } catch (const framework::ArchiveError&) {
        return false;
    }
    // The column and initial-item records are part of the block: damaged
    // ones make the whole block unreadable.
    std::vector<ListViewColumn> columns;
    std::vector<ListViewInitialCell> cells;
    if (!ReadColumnBlock(p.columns, &columns) || !ReadInitialItems(p.initialItems, &cells)) return false;
    *properties = std::move(p);
    return true;
}

std::string WriteColumnBlock(const std::vector<ListViewColumn>& columns) {
    BlockWriter w(0);
    for (const ListViewColumn& c : columns) {
        w.U8(c.imageOnRight ? 1 : 0);
        w.I32(c.image);
        w.I32(c.alignment);
        w.I32(c.width);
        w.Ztext(c.title);
    }
    std::vector<uint8_t> bytes = w.Take();
    return std::string(bytes.begin() + kBlockHeaderZeros + 4, bytes.end());
}

bool ReadColumnBlock(const std::string& block, std::vector<ListViewColumn>* columns) {
    std::vector<ListViewColumn> read;
    try {
        framework::MemoryArchive a(reinterpret_cast<const uint8_t*>(block.data()), block.size());
        while (!a.AtEnd()) {
            ListViewColumn c;
            c.imageOnRight = a.ReadU8() != 0;
            c.image = a.ReadI32();
            c.alignment = a.ReadI32();
            c.width = a.ReadI32();
            c.title = ReadZtext(a);
            read.push_back(std::move(c));
        }
    } catch (const framework::ArchiveError&) {
        return false;
    }
    *columns = std::move(read);
    return true;
}

std::string WriteInitialItems(const std::vector<ListViewInitialCell>& cells) {
    BlockWriter w(0);
    for (const ListViewInitialCell& c : cells) {
        w.U8(c.newRow ? 0 : 1);
        w.I32(c.image);
        w.I32(c.stateImage);
        w.U32(c.data);
        w.Ztext(c.text);
    }
    std::vector<uint8_t> bytes = w.Take();
    return std::string(bytes.begin() + kBlockHeaderZeros + 4, bytes.end());
}

bool ReadInitialItems(const std::string& block, std::vector<ListViewInitialCell>* cells) {
    std::vector<ListViewInitialCell> read;
    try {
        framework::MemoryArchive a(reinterpret_cast<const uint8_t*>(block.data()), block.size());
        while (!a.AtEnd()) {
            ListViewInitialCell c;
            c.newRow = a.ReadU8() == 0;
            c.image = a.ReadI32();
            c.stateImage = a.ReadI32();
            c.data = a.ReadU32();
            c.text = ReadZtext(a);
            read.push_back(std::move(c));
        }
    } catch (const framework::ArchiveError&) {
        return false;
    }
    *cells = std::move(read);
    return true;
}

bool HasImageList(const std::string& block) {
    return block.size() > kImageListStreamOffset && block.compare(0, 4, "MITL") == 0;
}

}  // namespace lyra
