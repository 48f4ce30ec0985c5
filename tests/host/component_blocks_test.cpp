#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "data/window_template.h"
#include "window_units/components/edit_box_block.h"
#include "window_units/components/group_box_block.h"
#include "window_units/components/hyper_linker_block.h"
#include "window_units/components/label_block.h"
#include "window_units/components/list_view_block.h"
#include "window_units/components/super_btn_block.h"
#include "window_units/components/window_block.h"
#include "window_units/template_format.h"

namespace lyra {
namespace {

ListViewProperties SampleListView() {
    ListViewProperties p;
    p.border = 5;
    p.textColour = 0x00112233;
    p.textBackColour = 0xFF000000;
    p.backColour = 0x8000000F;
    p.font.assign(60, 'f');
    p.viewType = 2;
    p.iconAlignment = 1;
    p.autoArrange = 1;
    p.wrapLabels = 0;
    p.columns = WriteColumnBlock(MusicListColumns());
    p.hideHeader = 1;
    p.headerImages = std::string("MITL\0\0\0\0xyz", 11);
    p.clickableHeader = 0;
    p.fullRowSelect = 0;
    p.gridLines = 1;
    p.headerDragDrop = 1;
    p.itemImages = "items";
    p.stateImages = "states";
    p.hotTracking = 1;
    p.handPointer = 1;
    p.underlineCold = 1;
    p.underlineHot = 1;
    p.labelEditing = 1;
    p.sorting = 2;
    p.checkBoxes = 1;
    p.flatScrollBars = 1;
    p.singleSelection = 1;
    p.currentRow = 7;
    p.alwaysShowSelection = 1;
    p.initialItems = WriteInitialItems({{true, 1, 2, 3, "a"}, {false, -1, -1, 0, "b"}});
    p.word30 = 30;
    return p;
}

void ExpectSame(const ListViewProperties& a, const ListViewProperties& b) {
    EXPECT_EQ(WriteListViewBlock(a), WriteListViewBlock(b));
}

TEST(ListViewBlock, ReadsBackWhatItWrote) {
    ListViewProperties written = SampleListView();
    std::vector<uint8_t> block = WriteListViewBlock(written);
    ASSERT_GE(block.size(), 24u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(block[i], 0) << "header byte " << i;
    EXPECT_EQ(block[20], 1) << "version word 1";
    ListViewProperties read;
    ASSERT_TRUE(ReadBlock(kListViewTable, block.data(), block.size(), &read));
    ExpectSame(read, written);
    EXPECT_EQ(read.columns, written.columns);
    EXPECT_EQ(read.word30, 30);
    EXPECT_EQ(read.headerImages, written.headerImages);
}

// A unit's block against its type's table: it reads and writes back byte
// for byte; a non-zero header byte, another version word or a cut anywhere
// is refused and leaves the properties alone.
template <typename Properties>
void CheckBlockRule(const PropertyTable<Properties>& table, const UnitRecord& unit) {
    const std::vector<uint8_t>& block = unit.propertyBlock;
    Properties read;
    ASSERT_TRUE(ReadBlock(table, block.data(), block.size(), &read)) << unit.name;
    EXPECT_EQ(WriteBlock(table, read), block) << unit.name;

    const std::vector<uint8_t> untouched = WriteBlock(table, Properties());
    auto refuses = [&](const std::vector<uint8_t>& bytes, size_t size) {
        Properties out;
        return !ReadBlock(table, bytes.data(), size, &out) && WriteBlock(table, out) == untouched;
    };
    std::vector<uint8_t> marked = block;
    marked[3] = 1;
    EXPECT_TRUE(refuses(marked, marked.size())) << unit.name << ": a header byte not zero";
    std::vector<uint8_t> versioned = block;
    ++versioned[20];
    EXPECT_TRUE(refuses(versioned, versioned.size())) << unit.name << ": another version word";
    // Every cut in the first 300 bytes, then every 97th: pictures and sounds make blocks long.
    for (size_t n = 0; n < block.size(); n += n < 300 ? 1 : 97) {
        EXPECT_TRUE(refuses(block, n)) << unit.name << ": cut at " << n;
    }
    EXPECT_TRUE(refuses(block, block.size() - 1)) << unit.name << ": the last byte missing";
}

TEST(PropertyBlocks, EveryTypeReadsBackTheProgramsBlocksAndRefusesDamagedOnes) {
    const WindowTemplate program = ProgramWindowTemplate();
    std::set<uint32_t> checked;
    for (const UnitRecord& unit : program.windows.at(0).units) {
        switch (unit.typeCode) {
            case kTypeCodeWindow: CheckBlockRule(kWindowTable, unit); break;
            case kTypeCodeEditBox: CheckBlockRule(kEditBoxTable, unit); break;
            case kTypeCodeGroupBox: CheckBlockRule(kGroupBoxTable, unit); break;
            case kTypeCodeLabel: CheckBlockRule(kLabelTable, unit); break;
            case kTypeCodeHyperLinker: CheckBlockRule(kHyperLinkerTable, unit); break;
            case kTypeCodeSuperBtn: CheckBlockRule(kSuperBtnTable, unit); break;
            case kTypeCodeListView: CheckBlockRule(kListViewTable, unit); break;
            default: ADD_FAILURE() << "unit of type " << unit.typeCode;
        }
        checked.insert(unit.typeCode);
    }
    EXPECT_EQ(checked.size(), 7u) << "all seven types";
}

TEST(ListViewBlock, DamagedColumnOrItemRecordsMakeTheBlockUnreadable) {
    ListViewProperties properties = SampleListView();
    properties.columns = WriteColumnBlock(MusicListColumns()).substr(0, 78);
    std::vector<uint8_t> block = WriteListViewBlock(properties);
    ListViewProperties read;
    EXPECT_FALSE(ReadBlock(kListViewTable, block.data(), block.size(), &read)) << "a column title without its terminator";
    properties = SampleListView();
    properties.initialItems = std::string("\0\xFF\xFF", 3);
    block = WriteListViewBlock(properties);
    EXPECT_FALSE(ReadBlock(kListViewTable, block.data(), block.size(), &read)) << "an item record cut in its words";
}

TEST(ListViewBlock, MusicListColumnBlockIs79Bytes) {
    std::string block = WriteColumnBlock(MusicListColumns());
    ASSERT_EQ(block.size(), 79u);
    const uint8_t first[] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 36, 0, 0, 0, ' ', 'I', 'D', 0};
    EXPECT_EQ(std::memcmp(block.data(), first, sizeof first), 0);
    std::vector<ListViewColumn> columns;
    ASSERT_TRUE(ReadColumnBlock(block, &columns));
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_EQ(columns[1].title, "歌手名");
    EXPECT_EQ(columns[1].alignment, kAlignCentre);
    EXPECT_EQ(columns[3].title, "音乐地址");
    EXPECT_EQ(columns[3].width, 300);
    EXPECT_EQ(columns[3].image, -1);
    EXPECT_FALSE(ReadColumnBlock(block.substr(0, 78), &columns)) << "a title without its terminator";
    EXPECT_FALSE(ReadColumnBlock(block.substr(0, 20), &columns)) << "a record cut in its words";
    ASSERT_TRUE(ReadColumnBlock(std::string(), &columns));
    EXPECT_TRUE(columns.empty());
}

TEST(ListViewBlock, InitialItemsKeepRowStartsAndCells) {
    std::vector<ListViewInitialCell> cells = {{true, 1, 0, 42, "row"}, {false, -1, -1, 0, "cell"}, {true, 2, 1, 7, ""}};
    std::vector<ListViewInitialCell> read;
    ASSERT_TRUE(ReadInitialItems(WriteInitialItems(cells), &read));
    ASSERT_EQ(read.size(), 3u);
    EXPECT_TRUE(read[0].newRow);
    EXPECT_EQ(read[0].data, 42u);
    EXPECT_FALSE(read[1].newRow);
    EXPECT_EQ(read[1].text, "cell");
    EXPECT_TRUE(read[2].newRow);
    EXPECT_EQ(read[2].stateImage, 1);
    EXPECT_FALSE(ReadInitialItems(WriteInitialItems(cells).substr(0, 5), &read));
}

TEST(ListViewBlock, ImageListBlocksNeedTheirMarkAndAStream) {
    EXPECT_FALSE(HasImageList(""));
    EXPECT_FALSE(HasImageList(std::string("MITL\0\0\0\0", 8)));
    EXPECT_FALSE(HasImageList("MITX12345"));
    EXPECT_TRUE(HasImageList("MITL12345"));
}

SuperBtnProperties SampleButton() {
    SuperBtnProperties p;
    p.buttonType = 1;
    p.styleWord = 0x1234;
    p.pressed = 1;
    p.pictureAlignment = 3;
    p.switch4 = 1;
    p.layout5 = -4;
    p.layout6 = 6;
    p.pictures[kLookNormal] = {"GIF89a normal", 1};
    p.pictures[kLookHot] = {"GIF89a hot", 2};
    p.pictures[kLookPressed] = {std::string(), 3};
    p.font.assign(60, 'x');
    p.caption = "保存音乐列表";
    p.useColours = 1;
    p.colours[0] = {0x00FFFFFF, 0x00FF8800};
    p.colours[1] = {0x00FFFFFF, 0x000080FF};
    p.colours[2] = {0x00FFFFFF, 0x00FF8800};
    p.builtInSound = 1;
    p.enterSound = "RIFF enter";
    p.clickSound = "RIFF click";
    p.tip = "t";
    p.switch26 = 1;
    return p;
}

TEST(SuperBtnBlock, ReadsBackWhatItWrote) {
    SuperBtnProperties written = SampleButton();
    std::vector<uint8_t> block = WriteSuperBtnBlock(written);
    EXPECT_EQ(block[20], 2) << "version word 2";
    SuperBtnProperties read;
    ASSERT_TRUE(ReadBlock(kSuperBtnTable, block.data(), block.size(), &read));
    EXPECT_EQ(WriteSuperBtnBlock(read), block);
    EXPECT_EQ(read.pictures[kLookHot].file, "GIF89a hot");
    EXPECT_EQ(read.colours[1].back, 0x000080FFu);
    EXPECT_EQ(read.caption, "保存音乐列表");
}

TEST(SuperBtnBlock, RangedPropertiesAreClamped) {
    SuperBtnProperties p = SampleButton();
    p.buttonType = 9;
    p.pictureAlignment = -2;
    p.switch4 = 5;
    p.switch26 = -1;
    std::vector<uint8_t> block = WriteSuperBtnBlock(p);
    SuperBtnProperties read;
    ASSERT_TRUE(ReadBlock(kSuperBtnTable, block.data(), block.size(), &read));
    EXPECT_EQ(read.buttonType, 2);
    EXPECT_EQ(read.pictureAlignment, 0);
    EXPECT_EQ(read.switch4, 1);
    EXPECT_EQ(read.switch26, 0);
}

TEST(HyperLinkerBlock, ReadsBackWhatItWrote) {
    HyperLinkerProperties p;
    p.caption = "访问主页";
    p.target = "http://127.0.0.1/";
    p.mode = kEmailAddress;
    p.font.assign(60, 'h');
    p.textColour = 0x00800000;
    p.backColour = 0x00FFFFFF;
    std::vector<uint8_t> block = WriteHyperLinkerBlock(p);
    HyperLinkerProperties read;
    ASSERT_TRUE(ReadBlock(kHyperLinkerTable, block.data(), block.size(), &read));
    EXPECT_EQ(WriteHyperLinkerBlock(read), block);
}

TEST(HyperLinkerTarget, EmailModeAddsMailtoAndAnEmptyAddressGivesNothing) {
    HyperLinkerProperties p;
    p.target = "someone@example.org";
    p.mode = kEmailAddress;
    EXPECT_EQ(HyperLinkTarget(p), "mailto:someone@example.org");
    p.target.clear();
    EXPECT_EQ(HyperLinkTarget(p), "");
}

// Web mode opens web addresses only: the shell is never asked to start a
// program, open a file or follow another scheme.
TEST(HyperLinkerTarget, WebModeOpensOnlyHttpAndHttpsAddresses) {
    HyperLinkerProperties p;
    for (const char* address : {"http://127.0.0.1/", "HTTPS://example.org/a b", "Http://x"}) {
        p.target = address;
        EXPECT_EQ(HyperLinkTarget(p), address);
    }
    for (const char* address : {"someone@example.org", "C:\\Windows\\notepad.exe", "file:///C:/boot.ini",
                                "javascript:alert(1)", "mailto:x@y", "http:/x", " http://x/", "\\\\host\\share"}) {
        p.target = address;
        EXPECT_EQ(HyperLinkTarget(p), "") << address;
    }
}

TEST(HyperLinkerTarget, BrowserCommandIsCutAtTheArgumentPlaceholder) {
    EXPECT_EQ(BrowserCommandLine("\"C:\\b\\browser.exe\" -osint -url \"%1\"", "http://x/"),
              "\"C:\\b\\browser.exe\" -osint -url  \"http://x/\"");
    EXPECT_EQ(BrowserCommandLine("C:\\b\\browser.exe %1", "http://x/"), "C:\\b\\browser.exe  \"http://x/\"");
    EXPECT_EQ(BrowserCommandLine("C:\\b\\browser.exe -nohome", "http://x/"),
              "C:\\b\\browser.exe -nohome \"http://x/\"");
    EXPECT_EQ(BrowserCommandLine("b.exe %1 \"%1\"", "t"), "b.exe %1  \"t\"") << "the quoted %1 wins over an earlier bare one";
}

// The target is one argument of the browser's command line, whatever it holds.
TEST(HyperLinkerTarget, TheTargetIsQuotedAndCannotEndItsQuotes) {
    EXPECT_EQ(BrowserCommandLine("b.exe", "http://x/a b&c"), "b.exe \"http://x/a b&c\"");
    EXPECT_EQ(BrowserCommandLine("b.exe", "http://x/\" -new-program \"y"), "b.exe \"http://x/%22 -new-program %22y\"");
    EXPECT_EQ(BrowserCommandLine("b.exe", "http://x/\\"), "b.exe \"http://x/%5C\"")
        << "a backslash before the closing quote would escape it";
}

}  // namespace
}  // namespace lyra
