#include "commands/list_view_commands.h"

#include <string>

#include "commands/libraries.h"
#include "runtime/gbk.h"
#include "runtime/runtime_app.h"
#include "window_units/components/list_view.h"

namespace lyra {

namespace {

// Request 2007: the component's object, or a runtime error when it has none.
ListViewComponent* ListViewOf(int32_t count, const ValueRecord* args) {
    if (count < 1) return nullptr;
    RequestFunction request = UiLibrary1Request();
    if (request == nullptr) request = &RuntimeRequest;
    auto word = [](uint32_t w) { return static_cast<intptr_t>(static_cast<uintptr_t>(w)); };
    auto* object = reinterpret_cast<framework::WindowObject*>(request(2007, word(LowWord(args[0])), word(HighWord(args[0]))));
    return dynamic_cast<ListViewComponent*>(object);
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

std::wstring TextArgument(int32_t count, const ValueRecord* args, int index) {
    if (!Present(count, args, index) || args[index].type != kTypeText) return std::wstring();
    return GbkToWide(RecordText(args[index]));
}

void SetIntegerResult(ValueRecord* result, int32_t value) { SetRecordInt(*result, value, kTypeNone); }

}  // namespace

void ClearRows(ValueRecord* result, int32_t count, ValueRecord* args) {
    ListViewComponent* list = ListViewOf(count, args);
    SetIntegerResult(result, list != nullptr ? list->ClearRows() : 0);
}

void InsertRow(ValueRecord* result, int32_t count, ValueRecord* args) {
    ListViewComponent* list = ListViewOf(count, args);
    if (list == nullptr) {
        SetIntegerResult(result, -1);
        return;
    }
    NewRow row;
    row.position = IntegerArgument(count, args, 1, -1);
    row.text = TextArgument(count, args, 2);
    row.image = IntegerArgument(count, args, 3, -1);
    if (row.image < -1) row.image = -1;
    row.stateImage = IntegerArgument(count, args, 4, -1);
    row.indent = IntegerArgument(count, args, 5, 0);
    if (row.indent < 0) row.indent = 0;
    row.hasData = Present(count, args, 6);
    row.data = static_cast<LPARAM>(IntegerArgument(count, args, 6, 0));
    SetIntegerResult(result, list->InsertRow(row));
}

void SetCellText(ValueRecord*, int32_t count, ValueRecord* args) {
    ListViewComponent* list = ListViewOf(count, args);
    if (list == nullptr || !Present(count, args, 1)) return;
    list->SetCellText(IntegerArgument(count, args, 1, -1), IntegerArgument(count, args, 2, 0), TextArgument(count, args, 3));
}

void GetCellText(ValueRecord* result, int32_t count, ValueRecord* args) {
    ListViewComponent* list = ListViewOf(count, args);
    SetRecordPointer(*result, nullptr, kTypeNone);
    if (list == nullptr || !Present(count, args, 1)) return;
    std::wstring text = list->GetCellText(IntegerArgument(count, args, 1, -1), IntegerArgument(count, args, 2, 0));
    if (text.empty()) return;
    std::string gbk = WideToGbk(text.c_str(), text.size());
    SetRecordPointer(*result, MakeText(gbk.data(), gbk.size()), kTypeNone);
}

void GetRowCount(ValueRecord* result, int32_t count, ValueRecord* args) {
    ListViewComponent* list = ListViewOf(count, args);
    SetIntegerResult(result, list != nullptr ? list->GetRowCount() : 0);
}

}  // namespace lyra
