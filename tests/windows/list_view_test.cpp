// ListView under Wine: creation from its property block, the five row
// commands (also from a worker thread), the current-row property and the
// events the application binds.
#include <gtest/gtest.h>

#include <objidl.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/list_reading.h"
#include "app/list_texts.h"
#include "commands/libraries.h"
#include "commands/list_view_commands.h"
#include "data/window_template.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/program_image.h"
#include "test_support/component_host.h"
#include "test_support/message_sequence.h"
#include "test_support/waits.h"
#include "window_units/components/list_view.h"
#include "window_units/component_support.h"
#include "window_units/template_format.h"

namespace lyra::test {
namespace {

constexpr uint32_t kListUnit = 0x160117F7;

ValueRecord ComponentArg(uint32_t unitId) {
    ValueRecord r;
    SetRecordWords(r, kTestWindowId, unitId, kTypeCodeListView);
    return r;
}

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        EventLog::Instance().Clear();
        ListViewProperties properties;
        properties.columns = WriteColumnBlock(MusicListColumns());
        Create(properties);
    }

    void Create(const ListViewProperties& properties) {
        list_.reset();
        std::vector<uint8_t> block = WriteListViewBlock(properties);
        list_.reset(ListViewInterfaceCreate()(MakeCreateArgs(host_.handle(), block, kListUnit, 8, 8, 590, 205)));
        ASSERT_NE(list_, nullptr);
        RegisterComponent(list_.get());
        ShowWindow(list_->Handle(), SW_SHOWNA);
        PumpWaiting();
    }

    static CreateOperation ListViewInterfaceCreate() {
        return reinterpret_cast<CreateOperation>(ListViewInterface(kOpCreate));
    }
    ListViewComponent* list() { return static_cast<ListViewComponent*>(list_.get()); }
    HWND handle() { return list_->Handle(); }

    // The commands as the application calls them: argument records, left-out
    // arguments as three zero words.
    int Call(CommandFunction command, std::initializer_list<ValueRecord> arguments, std::string* text = nullptr) {
        std::vector<ValueRecord> args{ComponentArg(kListUnit)};
        args.insert(args.end(), arguments.begin(), arguments.end());
        ValueRecord result = EmptyRecord();
        command(&result, static_cast<int32_t>(args.size()), args.data());
        EXPECT_EQ(result.type, 0u) << "the result's type word stays 0";
        if (text != nullptr) {
            const char* p = RecordText(result);
            *text = p != nullptr ? p : "";
            if (p != nullptr) FreeMemory(const_cast<char*>(p));
        }
        return RecordInt(result);
    }
    int InsertAt(int position, const char* text) { return Call(&InsertRow, {IntArg(position), TextArg(text)}); }
    int Append(const char* text) { return Call(&InsertRow, {EmptyRecord(), TextArg(text)}); }
    std::string Cell(int row, int column) {
        std::string text;
        Call(&GetCellText, {IntArg(row), IntArg(column)}, &text);
        return text;
    }
    int32_t CurrentRow() {
        PropertyValue value;
        EXPECT_TRUE(GetPropertyOp(list_.get(), 27, &value));
        return static_cast<int32_t>(value.number);
    }
    void Select(int row, bool selected) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED;
        item.state = selected ? LVIS_SELECTED : 0;
        SendMessageW(handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
    void ClickHeaderItem(int index) {
        HWND header = reinterpret_cast<HWND>(SendMessageW(handle(), LVM_GETHEADER, 0, 0));
        RECT rect{};
        SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
        LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(header, WM_LBUTTONUP, 0, at);
    }

    HostWindow host_;
    ComponentPtr list_;
};

TEST_F(ListViewTest, ReportViewWithTheFourColumnsOfTheMusicLists) {
    LONG_PTR style = GetWindowLongPtrW(handle(), GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_EQ(style & LVS_NOSORTHEADER, 0) << "the header stays clickable";
    EXPECT_EQ(style & (WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP),
              WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP);
    auto extended = static_cast<DWORD>(SendMessageW(handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(extended & (LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP), DWORD{LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP});
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    EXPECT_TRUE(GetWindowLongPtrW(handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) << "border 1";

    struct Expected {
        const wchar_t* title;
        int format;
        int width;
    };
    const Expected expected[4] = {{L" ID", LVCFMT_LEFT, 36}, {L"歌手名", LVCFMT_CENTER, 125},
                                  {L"歌曲名", LVCFMT_CENTER, 125}, {L"音乐地址", LVCFMT_CENTER, 300}};
    for (int i = 0; i < 4; ++i) {
        wchar_t title[64] = L"";
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.pszText = title;
        column.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(handle(), LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)))
            << "column " << i;
        EXPECT_STREQ(title, expected[i].title);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, expected[i].format) << "column " << i;
        EXPECT_EQ(column.cx, expected[i].width) << "column " << i;
    }
    LVCOLUMNW fifth{};
    fifth.mask = LVCF_WIDTH;
    EXPECT_FALSE(SendMessageW(handle(), LVM_GETCOLUMNW, 4, reinterpret_cast<LPARAM>(&fifth)));
}

TEST_F(ListViewTest, InsertRowAppendsWithoutPositionAndPutsPositionZeroOnTop) {
    Append("x");
    EXPECT_NE(Call(&ClearRows, {}), 0);
    EXPECT_EQ(Call(&GetRowCount, {}), 0);
    EXPECT_EQ(Append("a"), 0);
    EXPECT_EQ(Append("b"), 1);
    EXPECT_EQ(Append("c"), 2);
    EXPECT_EQ(Call(&InsertRow, {IntArg(-5), TextArg("d")}), 3) << "a negative position appends too";
    EXPECT_EQ(InsertAt(0, "top"), 0);
    EXPECT_EQ(Call(&GetRowCount, {}), 5);
    EXPECT_EQ(Cell(0, 0), "top");
    EXPECT_EQ(Cell(1, 0), "a");
    EXPECT_EQ(Cell(4, 0), "d");
    EXPECT_EQ(Call(&InsertRow, {}), 5) << "every argument left out: an empty row at the end";
    EXPECT_EQ(Cell(5, 0), "");
}

TEST_F(ListViewTest, InsertRowOptionalArgumentsFollowTheirRules) {
    Call(&InsertRow, {EmptyRecord(), TextArg("r"), IntArg(-7), IntArg(2), IntArg(-3), IntArg(77)});
    LVITEMW item{};
    item.mask = LVIF_IMAGE | LVIF_INDENT | LVIF_PARAM | LVIF_STATE;
    item.stateMask = LVIS_STATEIMAGEMASK;
    ASSERT_TRUE(SendMessageW(handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_LT(item.iImage, 0) << "an image below -1 counts as none";
    EXPECT_EQ(item.iIndent, 0) << "a negative indent counts as 0";
    int64_t data = 0;
    list()->Rows()->ReadRow(0, [&](const ListRow& row) { data = row.data; });
    EXPECT_EQ(data, 77) << "the item data is kept (an owner-data control hands none out)";
    EXPECT_EQ(item.state & LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(3u)) << "state image index + 1";
}

TEST_F(ListViewTest, CellTextsComeBackWholeAndMissingCellsAreEmpty) {
    Append("first");
    std::string longText;
    for (int i = 0; i < 2000; ++i) longText.push_back(static_cast<char>('a' + i % 26));
    Call(&SetCellText, {IntArg(0), IntArg(3), TextArg(longText.c_str())});
    EXPECT_EQ(Cell(0, 3), longText);
    Call(&SetCellText, {IntArg(0), IntArg(1), TextArg("歌手")});
    EXPECT_EQ(Cell(0, 1), "歌手") << "GBK in, GBK out";
    Call(&SetCellText, {IntArg(0), EmptyRecord(), TextArg("main")});
    EXPECT_EQ(Cell(0, 0), "main") << "the column defaults to 0";
    std::string big(511, 'z');
    Call(&SetCellText, {IntArg(0), IntArg(2), TextArg(big.c_str())});
    EXPECT_EQ(Cell(0, 2), big) << "a text that just fills the first buffer";

    Call(&SetCellText, {IntArg(9), IntArg(0), TextArg("nowhere")});
    EXPECT_EQ(Call(&GetRowCount, {}), 1) << "setting a missing row has no effect";
    EXPECT_EQ(Cell(9, 0), "");
    EXPECT_EQ(Cell(-1, 0), "");
    std::string none = "sentinel";
    Call(&GetCellText, {IntArg(5)}, &none);
    EXPECT_EQ(none, "") << "a missing row gives the empty text";
}

// The texts of a text array result, and its dimension sizes; freed.
std::vector<std::string> TakeTexts(ValueRecord result, std::vector<int32_t>* sizes) {
    void* array = RecordPointer(result);
    sizes->assign(static_cast<size_t>(ArrayDimensionCount(array)), 0);
    std::memcpy(sizes->data(), static_cast<const uint8_t*>(array) + sizeof(int32_t), sizes->size() * sizeof(int32_t));
    std::vector<std::string> texts;
    for (uint64_t i = 0; i < ArrayElementCount(array); ++i) {
        const char* text = static_cast<const char*>(ArrayPointerElement(array, i));
        texts.push_back(text != nullptr ? text : "");
    }
    FreeArray(kTypeText, array);
    return texts;
}

TEST_F(ListViewTest, RowTextsComeAsArraysOfARowOrOfAllRows) {
    Append("a0");
    Append("b0");
    Call(&SetCellText, {IntArg(0), IntArg(2), TextArg("a2")});
    auto texts = [&](CommandFunction command, std::initializer_list<ValueRecord> arguments,
                     std::vector<int32_t>* sizes) {
        std::vector<ValueRecord> args{ComponentArg(kListUnit)};
        args.insert(args.end(), arguments.begin(), arguments.end());
        ValueRecord result = EmptyRecord();
        command(&result, static_cast<int32_t>(args.size()), args.data());
        EXPECT_EQ(result.type, 0u);
        return TakeTexts(result, sizes);
    };
    std::vector<int32_t> sizes;
    EXPECT_EQ(texts(&GetRowTexts, {IntArg(0), IntArg(3)}, &sizes), (std::vector<std::string>{"a0", "", "a2"}));
    EXPECT_EQ(sizes, std::vector<int32_t>{3});
    EXPECT_EQ(texts(&GetRowTexts, {IntArg(1)}, &sizes), std::vector<std::string>{"b0"}) << "one column by default";
    EXPECT_EQ(texts(&GetRowTexts, {IntArg(7), IntArg(2)}, &sizes), (std::vector<std::string>{"", ""}))
        << "a missing row reads as empty cells";
    EXPECT_EQ(texts(&GetAllRowTexts, {IntArg(3)}, &sizes), (std::vector<std::string>{"a0", "", "a2", "b0", "", ""}));
    EXPECT_EQ(sizes, (std::vector<int32_t>{2, 3})) << "rows by columns";
    Call(&ClearRows, {});
    EXPECT_EQ(texts(&GetAllRowTexts, {IntArg(4)}, &sizes), std::vector<std::string>{});
    EXPECT_EQ(sizes, (std::vector<int32_t>{0, 4}));
}

TEST_F(ListViewTest, CurrentRowIsTheLowestSelectedRowOrMinusOne) {
    EXPECT_EQ(CurrentRow(), -1) << "empty list";
    for (const char* t : {"0", "1", "2", "3"}) Append(t);
    EXPECT_EQ(CurrentRow(), -1) << "nothing selected";
    Select(3, true);
    Select(1, true);
    EXPECT_EQ(CurrentRow(), 1);
    PropertyValue row;
    row.number = 2;
    ASSERT_TRUE(SetPropertyOp(list_.get(), 27, row));
    EXPECT_EQ(CurrentRow(), 2) << "writing the current row selects that row alone";
    row.number = -1;
    SetPropertyOp(list_.get(), 27, row);
    EXPECT_EQ(CurrentRow(), -1);
}

TEST_F(ListViewTest, TheSelectionMovesWithItsRowWhenRowsGoInAboveIt) {
    for (const char* t : {"a", "b", "c"}) Append(t);
    Select(1, true);
    LVITEMW focus{};
    focus.state = focus.stateMask = LVIS_FOCUSED;
    SendMessageW(handle(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&focus));
    EventLog::Instance().Clear();
    InsertAt(0, "new 1");
    InsertAt(0, "new 2");
    Append("end");
    EXPECT_EQ(CurrentRow(), 3) << "the selected row is still b";
    EXPECT_EQ(Cell(CurrentRow(), 0), "b");
    EXPECT_EQ(SendMessageW(handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 3);
    EXPECT_EQ(SendMessageW(handle(), LVM_GETITEMCOUNT, 0, 0), 6);
    EXPECT_TRUE(EventLog::Instance().Events(0).empty()) << "moving the focus along is no new focused row";
    Call(&ClearRows, {});
    EXPECT_EQ(CurrentRow(), -1) << "cleared: nothing selected";
}

TEST_F(ListViewTest, CurrentRowCanBeReadFromAWorkerThread) {
    Append("0");
    Append("1");
    Select(1, true);
    std::atomic<int32_t> read{-2};
    std::thread worker([&] {
        PropertyValue value;
        GetPropertyOp(list_.get(), 27, &value);
        read = static_cast<int32_t>(value.number);
    });
    ASSERT_TRUE(PumpUntil([&] { return read.load() != -2; }, 5000));
    worker.join();
    EXPECT_EQ(read.load(), 1);
}

const MessageStep kLabelEditsEnded[] = {
    {"7 1 1", "row 1's label edited and accepted"},
    {"7 0 0", "row 0's label editing cancelled"},
};

const MessageStep kHeaderClicks[] = {
    {"2 0", "the first column's header"},
    {"2 3", "the fourth column's header"},
};

TEST_F(ListViewTest, HeaderClicksDeliverTheColumnIndex) {
    Append("row");
    ClickHeaderItem(0);
    ASSERT_TRUE(PumpUntil([] { return !EventLog::Instance().Events(2).empty(); }, 5000));
    ClickHeaderItem(3);
    ASSERT_TRUE(PumpUntil([] { return EventLog::Instance().Events(2).size() >= 2; }, 5000));
    ASSERT_SEQUENCE(EventLog::Instance().Lines(2), kHeaderClicks);
    EXPECT_EQ(EventLog::Instance().Events(2)[0].unitId, kListUnit);
}

TEST_F(ListViewTest, DoubleClickOnARowArrivesAsCommonEventMinus3Only) {
    Append("row 0");
    Append("row 1");
    RECT row{};
    row.left = LVIR_BOUNDS;
    SendMessageW(handle(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    int x = row.left + 50, y = (row.top + row.bottom) / 2;
    PostMessageW(handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    PostMessageW(handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    ASSERT_TRUE(PumpUntil([] { return !EventLog::Instance().Events(-3).empty(); }, 5000));
    PumpWaiting();
    auto doubles = EventLog::Instance().Events(-3);
    ASSERT_EQ(doubles.size(), 1u);
    EXPECT_EQ(doubles[0].arguments, (std::vector<uint32_t>{static_cast<uint32_t>(x), static_cast<uint32_t>(y), 0}));
    EXPECT_EQ(CurrentRow(), 1) << "the click selected the row the routine will copy from";
    for (const RaisedEvent& e : EventLog::Instance().Events()) {
        bool commonMouse = e.number == -1 || e.number == -2 || e.number == -3 || e.number == -6;
        EXPECT_TRUE(commonMouse || e.number == -7 || e.number == 0 || e.number == 1 || e.number == 4)
            << "unexpected event " << e.number;
    }
}

TEST_F(ListViewTest, FocusAndFocusedRowEvents) {
    Append("a");
    Append("b");
    SetFocus(handle());
    ASSERT_TRUE(PumpUntil([] { return !EventLog::Instance().Events(-7).empty(); }, 5000));
    LVITEMW item{};
    item.state = item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(handle(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(EventLog::Instance().Events(0).size(), 1u) << "row 1 became the focused row";
    SendMessageW(handle(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(EventLog::Instance().Events(0).size(), 1u) << "already focused: no new event";
    SetFocus(host_.handle());
    ASSERT_TRUE(PumpUntil([] { return !EventLog::Instance().Events(-8).empty(); }, 5000));
}

// Events 3 and 5 to 8, from the control's own notifications: a right click,
// label editing begun and ended, Space on a row with a check box, and the
// hot-tracking notification as the control sends it to its parent.
TEST_F(ListViewTest, RightClickLabelEditingCheckMarksAndHotTrackingRaiseTheirEvents) {
    ListViewProperties properties;
    properties.columns = WriteColumnBlock(MusicListColumns());
    properties.labelEditing = 1;
    properties.checkBoxes = 1;
    Create(properties);
    Append("row 0");
    Append("row 1");
    RECT row{};
    row.left = LVIR_LABEL;
    SendMessageW(handle(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    LPARAM at = MAKELPARAM(row.left + 4, (row.top + row.bottom) / 2);
    PostMessageW(handle(), WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageW(handle(), WM_RBUTTONUP, 0, at);
    ASSERT_TRUE(PumpUntil([] { return !EventLog::Instance().Events(5).empty(); }, 5000));
    EXPECT_EQ(EventLog::Instance().Events(5)[0].arguments, std::vector<uint32_t>{});

    SetFocus(handle());
    HWND editor = reinterpret_cast<HWND>(SendMessageW(handle(), LVM_EDITLABELW, 1, 0));
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(EventLog::Instance().Events(6).size(), 1u);
    EXPECT_EQ(EventLog::Instance().Events(6)[0].arguments, std::vector<uint32_t>{1});
    SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"renamed"));
    SendMessageW(editor, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([] { return !EventLog::Instance().Events(7).empty(); }, 5000));
    editor = reinterpret_cast<HWND>(SendMessageW(handle(), LVM_EDITLABELW, 0, 0));
    ASSERT_NE(editor, nullptr);
    SendMessageW(editor, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntil([] { return EventLog::Instance().Events(7).size() >= 2; }, 5000));
    EXPECT_SEQUENCE(EventLog::Instance().Lines(7), kLabelEditsEnded);

    LVITEMW item{};
    item.state = item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(handle(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
    SetFocus(handle());
    SendMessageW(handle(), WM_KEYDOWN, VK_SPACE, 0);
    ASSERT_TRUE(PumpUntil([] { return !EventLog::Instance().Events(8).empty(); }, 5000));
    EXPECT_EQ(EventLog::Instance().Events(8)[0].arguments, (std::vector<uint32_t>{1, 1})) << "row 1 now checked";

    NMLISTVIEW track{};
    track.hdr.hwndFrom = handle();
    track.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(handle()));
    track.hdr.code = LVN_HOTTRACK;
    track.iItem = 1;
    SendMessageW(host_.handle(), WM_NOTIFY, track.hdr.idFrom, reinterpret_cast<LPARAM>(&track));
    ASSERT_EQ(EventLog::Instance().Events(3).size(), 1u);
    EXPECT_EQ(EventLog::Instance().Events(3)[0].arguments, std::vector<uint32_t>{1});
}

TEST_F(ListViewTest, AWorkerFillsTheListWithoutWaitingForTheWindowThread) {
    constexpr int kRows = 300;
    std::atomic<bool> done{false};
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread worker([&] {
        ValueRecord args[4];
        ValueRecord result;
        args[0] = ComponentArg(kListUnit);
        ClearRows(&result, 1, args);
        for (int i = 0; i < kRows; ++i) {
            std::string address = "http://127.0.0.1/" + std::to_string(i) + ".mp3";
            std::string singer = "歌手" + std::to_string(i);
            std::string song = "歌曲" + std::to_string(i);
            args[1] = IntArg(0);
            args[2] = TextArg(std::to_string(i).c_str());
            InsertRow(&result, 3, args);
            args[1] = IntArg(0);
            const std::string* cells[3] = {&singer, &song, &address};
            for (int c = 0; c < 3; ++c) {
                args[2] = IntArg(c + 1);
                args[3] = TextArg(cells[c]->c_str());
                SetCellText(&result, 4, args);
            }
        }
        done = true;
        SetEvent(finished);
    });
    // The window thread takes no message until the worker is through: every
    // command answered from the row model, none waited for this thread.
    bool through = WaitForSingleObject(finished, 20000) == WAIT_OBJECT_0;
    CloseHandle(finished);
    ASSERT_TRUE(PumpUntil([&] { return done.load(); }, 60000));
    worker.join();
    ASSERT_TRUE(through) << "a command waited for the window thread";

    ASSERT_EQ(Call(&GetRowCount, {}), kRows);
    for (int row = 0; row < kRows; ++row) {
        int i = kRows - 1 - row;
        ASSERT_EQ(Cell(row, 0), std::to_string(i)) << "row " << row;
        ASSERT_EQ(Cell(row, 1), "歌手" + std::to_string(i));
        ASSERT_EQ(Cell(row, 2), "歌曲" + std::to_string(i));
        ASSERT_EQ(Cell(row, 3), "http://127.0.0.1/" + std::to_string(i) + ".mp3");
    }
    EXPECT_TRUE(PumpUntil([&] { return !list()->ChangesPending(); }, 5000)) << "the control is told after the burst";
    EXPECT_EQ(SendMessageW(handle(), LVM_GETITEMCOUNT, 0, 0), kRows);
    EXPECT_TRUE(GetWindowLongPtrW(handle(), GWL_STYLE) & WS_VISIBLE) << "the list stayed visible throughout";
}

// Song i of a fill, every cell naming i: a row mixing songs names two.
app::SongRow SongOf(int i) {
    std::string n = std::to_string(i);
    return {app::RowIdText(i), "S" + n, "T" + n, "U" + n};
}

// The number in the first "ID：" line of a copied or saved text; 0 for none.
int FirstId(const std::string& text) {
    size_t at = text.find("ID：");
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + std::strlen("ID："));
}

// A saved text of this list as it was at one moment of a fill: songs k to 1
// top to bottom, the top one possibly still getting its cells.
bool IsOneMomentOfAFill(const std::string& saved, const std::string& number) {
    int k = FirstId(saved);
    if (k == 0) return saved == app::SavedListsText(number, {}, {});
    std::vector<app::SongRow> rows;
    for (int i = k; i >= 1; --i) rows.push_back(SongOf(i));
    app::SongRow whole = rows[0];
    std::string app::SongRow::*cells[] = {&app::SongRow::address, &app::SongRow::song, &app::SongRow::singer};
    for (int missing = 0; missing <= 3; ++missing) {
        rows[0] = whole;
        for (int c = 0; c < missing; ++c) rows[0].*cells[c] = "";
        if (saved == app::SavedListsText(number, rows, {})) return true;
    }
    return false;
}

// A worker fills the list at the top without pause, fill after fill, as
// lookups do; meanwhile the window thread takes, through the routines the
// program copies and saves with, the selected row's copy text and the save
// text, 1,000 times. A copy is one whole song (or no row at all); a save is
// the list as it stood at one moment.
TEST_F(ListViewTest, CopiesAndSavesDuringAFillTakeWholeRowsOfOneMoment) {
    constexpr int kFill = 1000;
    // Hidden, the control asks for no cells while it is told of the rows:
    // its questions would wait on the row model's lock behind a worker that
    // never pauses, and the copies and saves are what is tested here.
    ShowWindow(handle(), SW_HIDE);
    std::atomic<bool> stop{false};
    std::atomic<int> inserted{0};
    std::thread worker([&] {
        auto call = [](CommandFunction command, std::initializer_list<ValueRecord> arguments) {
            std::vector<ValueRecord> args{ComponentArg(kListUnit)};
            args.insert(args.end(), arguments.begin(), arguments.end());
            ValueRecord result = EmptyRecord();
            command(&result, static_cast<int32_t>(args.size()), args.data());
            return RecordInt(result);
        };
        while (!stop.load()) {
            call(&ClearRows, {});
            for (int i = 1; i <= kFill && !stop.load(); ++i) {
                app::SongRow song = SongOf(i);
                int row = call(&InsertRow, {IntArg(0), TextArg(song.id.c_str())});
                call(&SetCellText, {IntArg(row), IntArg(1), TextArg(song.singer.c_str())});
                call(&SetCellText, {IntArg(row), IntArg(2), TextArg(song.song.c_str())});
                call(&SetCellText, {IntArg(row), IntArg(3), TextArg(song.address.c_str())});
                ++inserted;
            }
        }
    });

    int songsCopied = 0, mixedCopies = 0, wrongSaves = 0;
    std::string mixedCopy, wrongSave;
    const std::string noRow = app::WholeRowText(app::SongRow{});
    for (int round = 0; round < 1000; ++round) {
        // Each round begins while the worker is busy inserting.
        int before = inserted.load();
        test::SpinUntil([&] { return inserted.load() != before; }, 5000);
        if (CurrentRow() < 0 && SendMessageW(handle(), LVM_GETITEMCOUNT, 0, 0) >= 2) Select(1, true);
        std::string copied;
        app::HeaderCopyText(kListUnit, 0, &copied);
        bool whole = copied == noRow || copied == app::WholeRowText(SongOf(FirstId(copied)));
        songsCopied += whole && copied != noRow;
        if (!whole && mixedCopies++ == 0) mixedCopy = copied;
        std::string saved = app::SaveText("7");
        if (!IsOneMomentOfAFill(saved, "7") && wrongSaves++ == 0) wrongSave = saved;
    }
    stop = true;
    worker.join();
    EXPECT_EQ(mixedCopies, 0) << "for example:\n" << mixedCopy;
    EXPECT_EQ(wrongSaves, 0) << "for example:\n" << wrongSave.substr(0, 600);
    EXPECT_GT(songsCopied, 0) << "a row was selected while the list filled";
}

// The client area as painted now, pixel by pixel.
std::vector<uint32_t> Snapshot(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT client;
    GetClientRect(window, &client);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HDC screen = GetDC(window);
    BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    ReleaseDC(window, screen);
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                                 static_cast<const uint32_t*>(bits) + client.right * client.bottom);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return pixels;
}

TEST_F(ListViewTest, AFocusedListWithoutRowsShowsItsFocus) {
    SetForegroundWindow(host_.handle());
    SetFocus(host_.handle());
    std::vector<uint32_t> unfocused = Snapshot(handle());
    SetFocus(handle());
    PumpWaiting();
    EXPECT_NE(Snapshot(handle()), unfocused) << "a focus rectangle where the first row would be";
    SetFocus(host_.handle());
    PumpWaiting();
    EXPECT_EQ(Snapshot(handle()), unfocused) << "gone with the focus";
}

TEST_F(ListViewTest, PropertiesReadBackAndSerialise) {
    PropertyValue colour;
    colour.number = 0x000000FF;
    ASSERT_TRUE(SetPropertyOp(list_.get(), 1, colour));
    PropertyValue read;
    ASSERT_TRUE(GetPropertyOp(list_.get(), 1, &read));
    EXPECT_EQ(read.number, 0xFF) << "read back from the control";
    PropertyValue grid;
    grid.number = 1;
    SetPropertyOp(list_.get(), 14, grid);
    EXPECT_TRUE(SendMessageW(handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_GRIDLINES);
    PropertyValue clickable;
    clickable.number = 0;
    SetPropertyOp(list_.get(), 12, clickable);
    EXPECT_TRUE(GetWindowLongPtrW(handle(), GWL_STYLE) & LVS_NOSORTHEADER);
    EXPECT_FALSE(GetPropertyOp(list_.get(), 31, &read)) << "31 is past the last property";
    PropertyValue descending;
    descending.number = 2;
    ASSERT_TRUE(SetPropertyOp(list_.get(), 23, descending));
    for (const char* text : {"b", "c", "a"}) Append(text);
    EXPECT_EQ(Cell(0, 0) + Cell(1, 0) + Cell(2, 0), "cba") << "rows placed by the order just written";

    auto* block = static_cast<uint8_t*>(PropertyDataOp(list_.get()));
    ASSERT_NE(block, nullptr);
    uint32_t size;
    std::memcpy(&size, block, 4);
    ListViewProperties properties;
    ASSERT_TRUE(ReadBlock(kListViewTable, block + 4, size, &properties));
    FreeMemory(block);
    EXPECT_EQ(properties.textColour, 0xFFu);
    EXPECT_EQ(properties.gridLines, 1);
    EXPECT_EQ(properties.clickableHeader, 0);
    EXPECT_EQ(properties.sorting, 2);
    EXPECT_EQ(properties.columns, WriteColumnBlock(MusicListColumns()));
}

// An image-list block as the property block stores it: "MITL", four more
// bytes, then the image list's stream.
std::string ImageListBlock(int count) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32, count, 0);
    for (int i = 0; i < count; ++i) ImageList_AddIcon(list, LoadIconW(nullptr, IDI_APPLICATION));
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    ImageList_Write(list, stream);
    ImageList_Destroy(list);
    HGLOBAL memory = nullptr;
    GetHGlobalFromStream(stream, &memory);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::string block("MITL\0\0\0\0", 8);
    block.append(static_cast<const char*>(GlobalLock(memory)), static_cast<size_t>(stat.cbSize.QuadPart));
    GlobalUnlock(memory);
    stream->Release();
    return block;
}

TEST_F(ListViewTest, ImageListsComeFromTheirBlocks) {
    ListViewProperties properties;
    properties.columns = WriteColumnBlock(MusicListColumns());
    properties.itemImages = ImageListBlock(3);
    properties.stateImages = ImageListBlock(2);
    properties.headerImages = "MITL";  // too short: no list
    Create(properties);
    auto small = reinterpret_cast<HIMAGELIST>(SendMessageW(handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_NE(small, nullptr) << "report view: the item images are the small list";
    EXPECT_EQ(ImageList_GetImageCount(small), 3);
    EXPECT_EQ(SendMessageW(handle(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0), 0);
    auto state = reinterpret_cast<HIMAGELIST>(SendMessageW(handle(), LVM_GETIMAGELIST, LVSIL_STATE, 0));
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(state), 2);
    HWND header = reinterpret_cast<HWND>(SendMessageW(handle(), LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageW(header, HDM_GETIMAGELIST, 0, 0), 0);
    EXPECT_EQ(Call(&InsertRow, {EmptyRecord(), TextArg("with image"), IntArg(2)}), 0);
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    SendMessageW(handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.iImage, 2);
}

TEST_F(ListViewTest, TheObjectIsFoundFromItsHandleUntilTheControlIsDestroyed) {
    HWND window = handle();
    EXPECT_EQ(framework::WindowObject::FromHandle(window), list_.get());
    std::atomic<framework::WindowObject*> fromWorker{nullptr};
    std::thread([&] { fromWorker = framework::WindowObject::FromHandle(window); }).join();
    EXPECT_EQ(fromWorker.load(), list_.get()) << "from any thread";
    DestroyWindow(window);
    EXPECT_EQ(framework::WindowObject::FromHandle(window), nullptr);
    EXPECT_EQ(list_->Handle(), nullptr) << "detached when its window went";
}

TEST_F(ListViewTest, InitialItemsAndAWrongSizedFontBlock) {
    ListViewProperties properties;
    properties.columns = WriteColumnBlock(MusicListColumns());
    properties.font = "short";
    properties.initialItems =
        WriteInitialItems({{true, -1, -1, 5, "r0"}, {false, -1, -1, 0, "r0c1"}, {true, -1, -1, 6, "r1"}});
    Create(properties);
    EXPECT_EQ(Call(&GetRowCount, {}), 2);
    EXPECT_EQ(Cell(0, 1), "r0c1");
    EXPECT_EQ(Cell(1, 0), "r1");
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(handle(), WM_GETFONT, 0, 0)), GetStockObject(DEFAULT_GUI_FONT));
}

TEST(TypeRecords, TheThreeComponentTypesHandOutTheirOperationsAndProperties) {
    struct Expected {
        const DataTypeRecord* record;
        const char* englishName;
        uint32_t propertyCount;
    };
    const Expected types[3] = {{&kUiLibrary1Record.dataTypes[4 - 1], "ListView", 31},
                               {&kUiLibrary2Record.dataTypes[1 - 1], "SuperBtn", 27},
                               {&kCoreLibraryRecord.dataTypes[29 - 1], "HyperLinker", 6}};
    for (const Expected& type : types) {
        EXPECT_STREQ(type.record->englishName, type.englishName);
        EXPECT_TRUE(type.record->stateFlags & kTypeRaisesEvents);
        ASSERT_NE(type.record->getInterface, nullptr) << type.englishName;
        for (int op : {kOpCreate, kOpPropertyChanged, kOpGetAllPropertyData, kOpGetProperty}) {
            EXPECT_NE(type.record->getInterface(op), nullptr) << type.englishName << " operation " << op;
        }
        EXPECT_EQ(type.record->getInterface(2), nullptr);
        EXPECT_EQ(type.record->propertyCount, type.propertyCount);
    }
    EXPECT_EQ(kUiLibrary1Record.dataTypes[3].properties[27].valueKind, 1000) << "the current row is a number";
    EXPECT_EQ(kUiLibrary1Record.dataTypes[3].properties[4].valueKind, 1013) << "a font";
    EXPECT_EQ(kUiLibrary1Record.commandTable[1], &InsertRow);
    EXPECT_EQ(kUiLibrary1Record.commandTable[3], &GetCellText);
}

}  // namespace
}  // namespace lyra::test
