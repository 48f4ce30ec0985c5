#include "commands/list_view_commands.h"

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "commands/libraries.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/request_codes.h"
#include "runtime/runtime_app.h"
#include "window_units/components/list_view.h"
#include "window_units/components/list_view_rows.h"

namespace lyra {

namespace {

// The list's row model. A live list is found in the table of row models
// without asking the window thread; for any other unit kRequestRequiredUnitObject decides
// (a runtime error, or nothing once the program is ending).
std::shared_ptr<ListRows> RowsOf(int32_t count, const ValueRecord* args) {
    if (count < 1) return nullptr;
    if (std::shared_ptr<ListRows> rows = FindListRows(LowWord(args[0]), HighWord(args[0]))) return rows;
    RequestFunction request = UiLibrary1Request();
    if (request == nullptr) request = &RuntimeRequest;
    auto word = [](uint32_t w) { return static_cast<intptr_t>(static_cast<uintptr_t>(w)); };
    auto* object = reinterpret_cast<framework::WindowObject*>(request(kRequestRequiredUnitObject, word(LowWord(args[0])),
                                                                              word(HighWord(args[0]))));
    auto* list = dynamic_cast<ListViewComponent*>(object);
    return list != nullptr ? list->Rows() : nullptr;
}

bool Present(int32_t count, const ValueRecord* args, int index) { return index < count && IsPresent(args[index]); }

// A numeric argument as an integer; fallback when it is left out.
int32_t IntegerArgument(int32_t count, const ValueRecord* args, int index, int32_t fallback) {
    if (!Present(count, args, index)) return fallback;
    const ValueRecord& r = args[index];
    switch (r.type) {
        case kTypeDouble: return static_cast<int32_t>(RecordDouble(r));
        case kTypeFloat: return static_cast<int32_t>(RecordFloat(r));
        case kTypeLong: return static_cast<int32_t>(RecordLong(r));
        case kTypeShort: return static_cast<int16_t>(LowWord(r) & 0xFFFF);
        case kTypeByte: return static_cast<int32_t>(LowWord(r) & 0xFF);
        default: return RecordInt(r);
    }
}

std::string TextArgument(int32_t count, const ValueRecord* args, int index) {
    if (!Present(count, args, index) || args[index].type != kTypeText) return std::string();
    const char* text = RecordText(args[index]);
    return text != nullptr ? text : "";
}

void SetIntegerResult(ValueRecord* result, int32_t value) { SetRecordInt(*result, value, kTypeNone); }

// A list has few columns; a larger count is a wrong call, not a reason to
// allocate without bound.
constexpr int32_t kMostColumns = 256;

int32_t ColumnCountArgument(int32_t count, const ValueRecord* args, int index) {
    int32_t columns = IntegerArgument(count, args, index, 1);
    return columns < 1 ? 1 : columns > kMostColumns ? kMostColumns : columns;
}

// A text array {dimensions, sizes, texts} holding the rows' texts in order.
void* TextArrayOf(const std::vector<int32_t>& sizes, const std::vector<std::vector<std::string>>& rows) {
    size_t header = sizeof(int32_t) * (1 + sizes.size());
    size_t elements = 0;
    for (const auto& row : rows) elements += row.size();
    auto* block = static_cast<uint8_t*>(AllocMemory(header + elements * sizeof(void*)));
    auto dimensions = static_cast<int32_t>(sizes.size());
    std::memcpy(block, &dimensions, sizeof dimensions);
    std::memcpy(block + sizeof(int32_t), sizes.data(), sizes.size() * sizeof(int32_t));
    uint64_t at = 0;
    for (const auto& row : rows) {
        for (const std::string& text : row) SetArrayPointerElement(block, at++, MakeText(text.data(), text.size()));
    }
    return block;
}

}  // namespace

void ClearRows(ValueRecord* result, int32_t count, ValueRecord* args) {
    std::shared_ptr<ListRows> rows = RowsOf(count, args);
    SetIntegerResult(result, rows != nullptr && rows->Clear() ? 1 : 0);
}

void InsertRow(ValueRecord* result, int32_t count, ValueRecord* args) {
    std::shared_ptr<ListRows> rows = RowsOf(count, args);
    if (rows == nullptr) {
        SetIntegerResult(result, -1);
        return;
    }
    ListRow row;
    row.cells.push_back(TextArgument(count, args, 2));
    int32_t image = IntegerArgument(count, args, 3, -1);
    row.image = image < 0 ? -1 : image;
    // The new row shows state image index + 1 of the state image list.
    int32_t stateImage = IntegerArgument(count, args, 4, -1);
    row.stateImage = stateImage < 0 ? 0 : stateImage < 14 ? stateImage + 1 : 15;
    int32_t indent = IntegerArgument(count, args, 5, 0);
    row.indent = indent < 0 ? 0 : indent;
    row.data = IntegerArgument(count, args, 6, 0);
    SetIntegerResult(result, rows->Insert(IntegerArgument(count, args, 1, -1), std::move(row)));
}

void SetCellText(ValueRecord*, int32_t count, ValueRecord* args) {
    std::shared_ptr<ListRows> rows = RowsOf(count, args);
    if (rows == nullptr || !Present(count, args, 1)) return;
    rows->SetCell(IntegerArgument(count, args, 1, -1), IntegerArgument(count, args, 2, 0), TextArgument(count, args, 3));
}

void GetCellText(ValueRecord* result, int32_t count, ValueRecord* args) {
    std::shared_ptr<ListRows> rows = RowsOf(count, args);
    SetRecordPointer(*result, nullptr, kTypeNone);
    if (rows == nullptr || !Present(count, args, 1)) return;
    std::string text = rows->Cell(IntegerArgument(count, args, 1, -1), IntegerArgument(count, args, 2, 0));
    if (text.empty()) return;
    SetRecordPointer(*result, MakeText(text.data(), text.size()), kTypeNone);
}

void GetRowCount(ValueRecord* result, int32_t count, ValueRecord* args) {
    std::shared_ptr<ListRows> rows = RowsOf(count, args);
    SetIntegerResult(result, rows != nullptr ? rows->Count() : 0);
}

void GetRowTexts(ValueRecord* result, int32_t count, ValueRecord* args) {
    std::shared_ptr<ListRows> rows = RowsOf(count, args);
    int32_t columns = ColumnCountArgument(count, args, 2);
    std::vector<std::string> texts(static_cast<size_t>(columns));
    if (rows != nullptr && Present(count, args, 1)) texts = rows->RowTexts(IntegerArgument(count, args, 1, -1), columns);
    SetRecordPointer(*result, TextArrayOf({columns}, {texts}), kTypeNone);
}

void GetAllRowTexts(ValueRecord* result, int32_t count, ValueRecord* args) {
    std::shared_ptr<ListRows> rows = RowsOf(count, args);
    int32_t columns = ColumnCountArgument(count, args, 1);
    std::vector<std::vector<std::string>> texts;
    if (rows != nullptr) texts = rows->AllRowTexts(columns);
    SetRecordPointer(*result, TextArrayOf({static_cast<int32_t>(texts.size()), columns}, texts), kTypeNone);
}

}  // namespace lyra
