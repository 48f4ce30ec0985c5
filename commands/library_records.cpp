// Library records, data-type tables and notify functions of the four
// command libraries.
#include <windows.h>

#include <atomic>

#include "commands/libraries.h"
#include "commands/thread_library.h"
#include "runtime/framework/window_object.h"
#include "window_units/components/hyper_linker.h"
#include "window_units/components/list_view.h"
#include "window_units/components/super_btn.h"

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

// Property value kinds, as ReadProperty converts them.
constexpr uint16_t kKindNumber = 1000;
constexpr uint16_t kKindColour = 1001;
constexpr uint16_t kKindLogical = 1003;
constexpr uint16_t kKindBinary = 1009;
constexpr uint16_t kKindPicture = 1010;
constexpr uint16_t kKindSound = 1012;
constexpr uint16_t kKindFont = 1013;
constexpr uint16_t kKindChoice = 1014;
constexpr uint16_t kKindText = 1016;

constexpr PropertyDescription Property(const char* name, const char* englishName, uint16_t kind) {
    return PropertyDescription{name, englishName, nullptr, kind, 0, nullptr};
}

const PropertyDescription kListViewProperties[] = {
    Property("边框", "Border", kKindChoice),
    Property("文本颜色", "TextColor", kKindColour),
    Property("文本背景颜色", "TextBackColor", kKindColour),
    Property("背景颜色", "BackColor", kKindColour),
    Property("字体", "Font", kKindFont),
    Property("类型", "ViewType", kKindChoice),
    Property("图标对齐方式", "IconAlignment", kKindChoice),
    Property("自动排列", "AutoArrange", kKindLogical),
    Property("标签自动换行", "WrapLabels", kKindLogical),
    Property("列", "Columns", kKindBinary),
    Property("隐藏表头", "HideHeader", kKindLogical),
    Property("表头图片组", "HeaderImages", kKindPicture),
    Property("表头可点击", "ClickableHeader", kKindLogical),
    Property("整行选择", "FullRowSelect", kKindLogical),
    Property("显示表格线", "GridLines", kKindLogical),
    Property("表头可拖放", "HeaderDragDrop", kKindLogical),
    Property("图片组", "ItemImages", kKindPicture),
    Property("状态图片组", "StateImages", kKindPicture),
    Property("热点跟踪", "HotTracking", kKindLogical),
    Property("热点手形光标", "HandPointer", kKindLogical),
    Property("冷项目下划线", "UnderlineCold", kKindLogical),
    Property("热项目下划线", "UnderlineHot", kKindLogical),
    Property("允许编辑标签", "LabelEditing", kKindLogical),
    Property("排序方式", "Sorting", kKindChoice),
    Property("检查框", "CheckBoxes", kKindLogical),
    Property("平面滚动条", "FlatScrollBars", kKindLogical),
    Property("单一选择", "SingleSelection", kKindLogical),
    Property("现行选中项", "CurrentRow", kKindNumber),
    Property("始终显示选择", "AlwaysShowSelection", kKindLogical),
    Property("初始项目", "InitialItems", kKindBinary),
    Property("保留", "Reserved", kKindNumber),
};
static_assert(sizeof kListViewProperties / sizeof kListViewProperties[0] == kListViewPropertyCount, "31 properties");

const PropertyDescription kSuperBtnProperties[] = {
    Property("按钮类型", "ButtonType", kKindChoice),
    Property("样式", "Style", kKindNumber),
    Property("按下", "Pressed", kKindLogical),
    Property("图片对齐方式", "PictureAlignment", kKindChoice),
    Property("开关", "Switch", kKindLogical),
    Property("横向间距", "LayoutX", kKindNumber),
    Property("纵向间距", "LayoutY", kKindNumber),
    Property("热点图片", "HotPicture", kKindPicture),
    Property("热点图片位移", "HotPictureWord", kKindNumber),
    Property("正常图片", "NormalPicture", kKindPicture),
    Property("正常图片位移", "NormalPictureWord", kKindNumber),
    Property("按下图片", "PressedPicture", kKindPicture),
    Property("按下图片位移", "PressedPictureWord", kKindNumber),
    Property("字体", "Font", kKindFont),
    Property("标题", "Caption", kKindText),
    Property("使用颜色", "UseColors", kKindLogical),
    Property("正常文本颜色", "NormalTextColor", kKindColour),
    Property("正常背景颜色", "NormalBackColor", kKindColour),
    Property("热点文本颜色", "HotTextColor", kKindColour),
    Property("热点背景颜色", "HotBackColor", kKindColour),
    Property("按下文本颜色", "PressedTextColor", kKindColour),
    Property("按下背景颜色", "PressedBackColor", kKindColour),
    Property("内置声音", "BuiltInSound", kKindLogical),
    Property("进入声音", "EnterSound", kKindSound),
    Property("单击声音", "ClickSound", kKindSound),
    Property("提示文本", "Text", kKindText),
    Property("开关二", "Switch2", kKindLogical),
};
static_assert(sizeof kSuperBtnProperties / sizeof kSuperBtnProperties[0] == kSuperBtnPropertyCount, "27 properties");

const PropertyDescription kHyperLinkerProperties[] = {
    Property("标题", "Caption", kKindText),
    Property("链接地址", "Target", kKindText),
    Property("类型", "Mode", kKindChoice),
    Property("字体", "Font", kKindFont),
    Property("文本颜色", "TextColor", kKindColour),
    Property("背景颜色", "BackColor", kKindColour),
};
static_assert(sizeof kHyperLinkerProperties / sizeof kHyperLinkerProperties[0] == kHyperLinkerPropertyCount,
              "6 properties");

template <size_t N>
DataTypeRecord WithOperations(DataTypeRecord record, GetInterfaceFunction getInterface,
                              const PropertyDescription (&properties)[N]) {
    record.getInterface = getInterface;
    record.propertyCount = N;
    record.properties = properties;
    return record;
}

// Core library: 51 types. This program's are at their fixed numbers; the
// others are reserved entries without operations.
DataTypeRecord gCoreTypes[51] = {};
DataTypeRecord gUi1Types[5] = {};
DataTypeRecord gUi2Types[9] = {};

struct TypeTablesInitialiser {
    TypeTablesInitialiser() {
        for (auto& t : gCoreTypes) t = Reserved();
        gCoreTypes[1 - 1] = Named("窗口", "window", kTypeRaisesEvents);
        gCoreTypes[3 - 1] = Named("菜单", "menu", kTypeRaisesEvents);
        gCoreTypes[5 - 1] = Named("编辑框", "EditBox", kTypeRaisesEvents);
        gCoreTypes[9 - 1] = Named("分组框", "GroupBox", kTypeRaisesEvents);
        gCoreTypes[10 - 1] = Named("标签", "Label", kTypeRaisesEvents);
        gCoreTypes[29 - 1] = WithOperations(Named("超级链接框", "HyperLinker", kTypeRaisesEvents), &HyperLinkerInterface,
                                            kHyperLinkerProperties);
        gCoreTypes[48 - 1] = Named("对象", "ComObject", 0);
        gCoreTypes[49 - 1] = Named("变体型", "Variant", 0);
        gUi1Types[4 - 1] = WithOperations(Named("超级列表框", "ListView", kTypeRaisesEvents), &ListViewInterface,
                                          kListViewProperties);
        gUi2Types[1 - 1] = WithOperations(Named("超级按钮", "SuperBtn", kTypeRaisesEvents), &SuperBtnInterface,
                                          kSuperBtnProperties);
    }
};
TypeTablesInitialiser gTypeTablesInitialiser;

intptr_t CoreNotify(int message, intptr_t param1, intptr_t param2) {
    switch (message) {
        case 1:
            gCoreRequest.store(reinterpret_cast<RequestFunction>(param1));
            return 0;
        case 2: {
            auto* object = reinterpret_cast<framework::WindowObject*>(param1);
            auto* msg = reinterpret_cast<MSG*>(param2);
            return object != nullptr && msg != nullptr && object->PreTranslateMessage(*msg) ? 1 : 0;
        }
        case 10: return 0;  // no runtime object types in this program
        case 11: return 0;
        case 12: return 0;
        case 13: return 0;
        default: return -1;
    }
}

intptr_t Ui1Notify(int message, intptr_t param1, intptr_t) {
    if (message != 1) return -1;
    gUi1Request.store(reinterpret_cast<RequestFunction>(param1));
    return 0;
}

intptr_t Ui2Notify(int message, intptr_t param1, intptr_t) {
    if (message != 1) return -1;
    gUi2Request.store(reinterpret_cast<RequestFunction>(param1));
    return 0;
}

intptr_t ThreadNotify(int message, intptr_t param1, intptr_t) {
    switch (message) {
        case 1:
            gThreadRequest.store(reinterpret_cast<RequestFunction>(param1));
            return 0;
        case 6:
            ReleaseCriticalSections();
            return 0;
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

extern const CommandFunction kCoreCommands[38];
extern const CommandFunction kUiLibrary1Commands[5];
extern const CommandFunction kThreadCommands[1];

const LibraryRecord kCoreLibraryRecord =
    MakeRecord("4C595241424F58434F52454C49425241", "核心支持库", kCoreVersion, 0xC0000001, 51, gCoreTypes, 38,
               kCoreCommands, &CoreNotify);
const LibraryRecord kUiLibrary1Record =
    MakeRecord("4C595241424F58554931000000000001", "扩展界面支持库一", kUi1Version, 0, 5, gUi1Types, 5,
               kUiLibrary1Commands, &Ui1Notify);
const LibraryRecord kUiLibrary2Record =
    MakeRecord("4C595241424F58554932000000000002", "扩展界面支持库二", kUi2Version, 0, 9, gUi2Types, 0, nullptr,
               &Ui2Notify);
const LibraryRecord kThreadLibraryRecord =
    MakeRecord("4C595241424F585448524541444C4942", "多线程支持库", kThreadVersion, 0xC0000000, 0, nullptr, 1,
               kThreadCommands, &ThreadNotify);

RequestFunction CoreRequest() { return gCoreRequest.load(); }
RequestFunction UiLibrary1Request() { return gUi1Request.load(); }
RequestFunction UiLibrary2Request() { return gUi2Request.load(); }
RequestFunction ThreadLibraryRequest() { return gThreadRequest.load(); }

}  // namespace lyra
