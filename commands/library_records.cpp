// Library records, data-type tables and notify functions of the four
// command libraries.
#include <windows.h>

#include <atomic>
#include <iterator>

#include "commands/command_tables.h"
#include "commands/libraries.h"
#include "commands/thread_library.h"
#include "runtime/framework/window_object.h"
#include "runtime/numbered_table.h"
#include "runtime/request_codes.h"
#include "runtime/values.h"
#include "window_units/components/edit_box.h"
#include "window_units/components/group_box.h"
#include "window_units/components/hyper_linker.h"
#include "window_units/components/label.h"
#include "window_units/components/list_view.h"
#include "window_units/components/super_btn.h"
#include "window_units/components/window.h"
#include "window_units/template_format.h"

namespace lyra {

namespace {

std::atomic<RequestFunction> gCoreRequest{nullptr};
std::atomic<RequestFunction> gUi1Request{nullptr};
std::atomic<RequestFunction> gUi2Request{nullptr};
std::atomic<RequestFunction> gThreadRequest{nullptr};

constexpr DataTypeRecord Reserved() { return DataTypeRecord{}; }

constexpr DataTypeRecord Named(const char* name, const char* englishName, uint32_t flags) {
    DataTypeRecord record{};
    record.name = name;
    record.englishName = englishName;
    record.stateFlags = flags;
    return record;
}

template <typename Properties>
DataTypeRecord Unit(const char* name, const char* englishName, GetInterfaceFunction getInterface,
                    const PropertyTable<Properties>& table) {
    DataTypeRecord record = Named(name, englishName, kTypeRaisesEvents);
    record.getInterface = getInterface;
    record.properties = table.descriptions;
    record.propertyCount = table.count;
    return record;
}

// A library type code's entry in its library's type table.
constexpr size_t TypeSlot(uint32_t typeCode) { return (typeCode & 0xFFFF) - 1; }

// Core library: 51 types. This program's are at their fixed numbers; the
// others are reserved entries without operations.
DataTypeRecord gCoreTypes[51] = {};
DataTypeRecord gUi1Types[5] = {};
DataTypeRecord gUi2Types[9] = {};

struct TypeTablesInitialiser {
    TypeTablesInitialiser() {
        for (auto& t : gCoreTypes) t = Reserved();
        gCoreTypes[TypeSlot(kTypeCodeWindow)] = Unit("窗口", "window", &WindowInterface, kWindowTable);
        gCoreTypes[TypeSlot(kTypeCodeMenuItem)] = Named("菜单", "menu", kTypeRaisesEvents);
        gCoreTypes[TypeSlot(kTypeCodeEditBox)] = Unit("编辑框", "EditBox", &EditBoxInterface, kEditBoxTable);
        gCoreTypes[TypeSlot(kTypeCodeGroupBox)] = Unit("分组框", "GroupBox", &GroupBoxInterface, kGroupBoxTable);
        gCoreTypes[TypeSlot(kTypeCodeLabel)] = Unit("标签", "Label", &LabelInterface, kLabelTable);
        gCoreTypes[TypeSlot(kTypeCodeHyperLinker)] =
            Unit("超级链接框", "HyperLinker", &HyperLinkerInterface, kHyperLinkerTable);
        gCoreTypes[TypeSlot(kTypeComObject)] = Named("对象", "ComObject", 0);
        gCoreTypes[TypeSlot(kTypeVariant)] = Named("变体型", "Variant", 0);
        gUi1Types[TypeSlot(kTypeCodeListView)] = Unit("超级列表框", "ListView", &ListViewInterface, kListViewTable);
        gUi2Types[TypeSlot(kTypeCodeSuperBtn)] = Unit("超级按钮", "SuperBtn", &SuperBtnInterface, kSuperBtnTable);
    }
};
TypeTablesInitialiser gTypeTablesInitialiser;

intptr_t CoreNotify(int message, intptr_t param1, intptr_t param2) {
    switch (message) {
        case kNotifyStart:
            gCoreRequest.store(reinterpret_cast<RequestFunction>(param1));
            return 0;
        case kNotifyPreTranslate: {
            auto* object = reinterpret_cast<framework::WindowObject*>(param1);
            auto* msg = reinterpret_cast<MSG*>(param2);
            return object != nullptr && msg != nullptr && object->PreTranslateMessage(*msg) ? 1 : 0;
        }
        case kNotifyNewObject: return 0;  // no runtime object types in this program
        case kNotifyDeleteObject: return 0;
        case kNotifyCoreText: return 0;
        case kNotifyApplicationWords: return 0;
        default: return -1;
    }
}

intptr_t Ui1Notify(int message, intptr_t param1, intptr_t) {
    if (message != kNotifyStart) return -1;
    gUi1Request.store(reinterpret_cast<RequestFunction>(param1));
    return 0;
}

intptr_t Ui2Notify(int message, intptr_t param1, intptr_t) {
    if (message != kNotifyStart) return -1;
    gUi2Request.store(reinterpret_cast<RequestFunction>(param1));
    return 0;
}

intptr_t ThreadNotify(int message, intptr_t param1, intptr_t) {
    switch (message) {
        case kNotifyStart:
            gThreadRequest.store(reinterpret_cast<RequestFunction>(param1));
            return 0;
        case kNotifyShutdown: return 0;
        default: return -1;
    }
}

LibraryRecord MakeRecord(const char* identity, const char* name, const uint32_t (&version)[7], uint32_t flags,
                         uint32_t typeCount, const DataTypeRecord* types, uint32_t commandCount,
                         const CommandFunction* commands, NotifyFunction notify) {
    LibraryRecord record{};
    record.signature = kLibrarySignature;
    record.identity = identity;
    for (int i = 0; i < 7; ++i) record.versionWords[i] = version[i];
    record.displayName = name;
    record.one = 1;
    record.libraryFlags = flags;
    record.dataTypeCount = typeCount;
    record.dataTypes = types;
    record.commandCount = commandCount;
    record.commandTable = commands;
    record.notify = notify;
    return record;
}

constexpr uint32_t kCoreVersion[7] = {5, 0, 64, 3, 7, 3, 7};
constexpr uint32_t kUi1Version[7] = {2, 0, 2, 3, 0, 3, 0};
constexpr uint32_t kUi2Version[7] = {2, 0, 2, 3, 4, 3, 3};
constexpr uint32_t kThreadVersion[7] = {2, 0, 3, 3, 7, 3, 7};

}  // namespace

const LibraryRecord kCoreLibraryRecord =
    MakeRecord("4C595241424F58434F52454C49425241", "核心支持库", kCoreVersion, 0xC0000001, std::size(gCoreTypes),
               gCoreTypes, kCoreCommandCount, kCoreCommands.data(), &CoreNotify);
const LibraryRecord kUiLibrary1Record =
    MakeRecord("4C595241424F58554931000000000001", "扩展界面支持库一", kUi1Version, 0, std::size(gUi1Types),
               gUi1Types, kUiLibrary1CommandCount, kUiLibrary1Commands.data(), &Ui1Notify);
const LibraryRecord kUiLibrary2Record =
    MakeRecord("4C595241424F58554932000000000002", "扩展界面支持库二", kUi2Version, 0, std::size(gUi2Types),
               gUi2Types, 0, nullptr, &Ui2Notify);
const LibraryRecord kThreadLibraryRecord =
    MakeRecord("4C595241424F585448524541444C4942", "多线程支持库", kThreadVersion, 0xC0000000, 0, nullptr,
               kThreadCommandCount, kThreadCommands.data(), &ThreadNotify);

constexpr std::array<const LibraryRecord*, kLibraryCount> kLibraryTable =
    NumberedTable<const LibraryRecord*, kLibraryCount>({
        {kCoreLibrary, &kCoreLibraryRecord},
        {kUiLibrary1, &kUiLibrary1Record},
        {kUiLibrary2, &kUiLibrary2Record},
        {kThreadLibrary, &kThreadLibraryRecord},
    });

RequestFunction CoreRequest() { return gCoreRequest.load(); }
RequestFunction UiLibrary1Request() { return gUi1Request.load(); }
RequestFunction UiLibrary2Request() { return gUi2Request.load(); }
RequestFunction ThreadLibraryRequest() { return gThreadRequest.load(); }

}  // namespace lyra
