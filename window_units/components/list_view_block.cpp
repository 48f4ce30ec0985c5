#include "window_units/components/list_view_block.h"

#include <iterator>

#include "window_units/template_format.h"

namespace lyra {

namespace {

// The column and initial-item records are part of the block.
bool RecordsReadable(ListViewProperties* p) {
    std::vector<ListViewColumn> columns;
    std::vector<ListViewInitialCell> cells;
    return ReadColumnBlock(p->columns, &columns) && ReadInitialItems(p->initialItems, &cells);
}

using P = ListViewProperties;
constexpr PropertyRow<P> kRows[] = {
    Row<&P::border, kKindChoice>("边框", "Border", kListStyles),
    // Colours and the current row are read from the control.
    Row<&P::textColour, kKindColour>("文本颜色", "TextColor", kReadLive | kSaveLive | kListColours),
    Row<&P::textBackColour, kKindColour>("文本背景颜色", "TextBackColor", kReadLive | kSaveLive | kListColours),
    Row<&P::backColour, kKindColour>("背景颜色", "BackColor", kReadLive | kSaveLive | kListColours),
    Row<&P::font, kKindFont>("字体", "Font", kListFont),
    Row<&P::viewType, kKindChoice>("类型", "ViewType", kListStyles | kListImageLists | kListColumns),
    Row<&P::iconAlignment, kKindChoice>("图标对齐方式", "IconAlignment", kListStyles),
    Row<&P::autoArrange, kKindLogical>("自动排列", "AutoArrange", kListStyles),
    Row<&P::wrapLabels, kKindLogical>("标签自动换行", "WrapLabels", kListStyles),
    Row<&P::columns, kKindData>("列", "Columns", kListColumns),
    Row<&P::hideHeader, kKindLogical>("隐藏表头", "HideHeader", kListStyles),
    Row<&P::headerImages, kKindPicture>("表头图片组", "HeaderImages", kListImageLists),
    Row<&P::clickableHeader, kKindLogical>("表头可点击", "ClickableHeader", kListStyles),
    Row<&P::fullRowSelect, kKindLogical>("整行选择", "FullRowSelect", kListStyles),
    Row<&P::gridLines, kKindLogical>("显示表格线", "GridLines", kListStyles),
    Row<&P::headerDragDrop, kKindLogical>("表头可拖放", "HeaderDragDrop", kListStyles),
    Row<&P::itemImages, kKindPicture>("图片组", "ItemImages", kListImageLists),
    Row<&P::stateImages, kKindPicture>("状态图片组", "StateImages", kListImageLists),
    Row<&P::hotTracking, kKindLogical>("热点跟踪", "HotTracking", kListStyles | kListHotCursor),
    Row<&P::handPointer, kKindLogical>("热点手形光标", "HandPointer", kListStyles | kListHotCursor),
    Row<&P::underlineCold, kKindLogical>("冷项目下划线", "UnderlineCold", kListStyles),
    Row<&P::underlineHot, kKindLogical>("热项目下划线", "UnderlineHot", kListStyles),
    Row<&P::labelEditing, kKindLogical>("允许编辑标签", "LabelEditing", kListStyles),
    Row<&P::sorting, kKindChoice>("排序方式", "Sorting", kListOrder | kListStyles),
    Row<&P::checkBoxes, kKindLogical>("检查框", "CheckBoxes", kListStyles),
    Row<&P::flatScrollBars, kKindLogical>("平面滚动条", "FlatScrollBars", kListStyles),
    Row<&P::singleSelection, kKindLogical>("单一选择", "SingleSelection", kListStyles),
    Row<&P::currentRow, kKindInteger>("现行选中项", "CurrentRow", kReadLive | kListSelectRow),
    Row<&P::alwaysShowSelection, kKindLogical>("始终显示选择", "AlwaysShowSelection", kListStyles),
    Row<&P::initialItems, kKindData>("初始项目", "InitialItems"),
    Row<&P::word30, kKindInteger>("保留", "Reserved"),
};

}  // namespace

constexpr PropertyTable<ListViewProperties> kListViewTable = TableOf<kRows>(kListViewBlockVersion, &RecordsReadable);

namespace {

std::string AsText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Reads records until the block ends; false when one is cut short.
template <typename Record, typename ReadRecord>
bool ReadRecords(const std::string& block, std::vector<Record>* records, ReadRecord readRecord) {
    std::vector<Record> read;
    const auto* data = reinterpret_cast<const uint8_t*>(block.data());
    if (!ReadsWhole(data, block.size(), [&](framework::MemoryArchive& archive) {
            while (!archive.AtEnd()) read.push_back(readRecord(archive));
            return true;
        })) {
        return false;
    }
    *records = std::move(read);
    return true;
}

}  // namespace

std::string WriteColumnBlock(const std::vector<ListViewColumn>& columns) {
    std::vector<uint8_t> bytes;
    for (const ListViewColumn& c : columns) {
        bytes.push_back(c.imageOnRight ? 1 : 0);
        AppendU32(bytes, static_cast<uint32_t>(c.image));
        AppendU32(bytes, static_cast<uint32_t>(c.alignment));
        AppendU32(bytes, static_cast<uint32_t>(c.width));
        AppendZtext(bytes, c.title);
    }
    return AsText(bytes);
}

bool ReadColumnBlock(const std::string& block, std::vector<ListViewColumn>* columns) {
    return ReadRecords(block, columns, [](framework::MemoryArchive& a) {
        ListViewColumn c;
        c.imageOnRight = a.ReadU8() != 0;
        c.image = a.ReadI32();
        c.alignment = a.ReadI32();
        c.width = a.ReadI32();
        c.title = ReadZtext(a);
        return c;
    });
}

std::string WriteInitialItems(const std::vector<ListViewInitialCell>& cells) {
    std::vector<uint8_t> bytes;
    for (const ListViewInitialCell& c : cells) {
        bytes.push_back(c.newRow ? 0 : 1);
        AppendU32(bytes, static_cast<uint32_t>(c.image));
        AppendU32(bytes, static_cast<uint32_t>(c.stateImage));
        AppendU32(bytes, c.data);
        AppendZtext(bytes, c.text);
    }
    return AsText(bytes);
}

bool ReadInitialItems(const std::string& block, std::vector<ListViewInitialCell>* cells) {
    return ReadRecords(block, cells, [](framework::MemoryArchive& a) {
        ListViewInitialCell c;
        c.newRow = a.ReadU8() == 0;
        c.image = a.ReadI32();
        c.stateImage = a.ReadI32();
        c.data = a.ReadU32();
        c.text = ReadZtext(a);
        return c;
    });
}

bool HasImageList(const std::string& block) {
    return block.size() > kImageListStreamOffset && block.compare(0, 4, "MITL") == 0;
}

}  // namespace lyra
