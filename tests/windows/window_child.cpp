// A program on the runtime and the window units, built on the window-test
// template (the program's units without list views, buttons and hyperlink).
// Every unit's events are bound to routines that log them; the scenario
// (first argument) decides what some routines answer and what the program
// does besides. The second argument names the log file.
//
// Log lines: "E <unit id> <event> <arguments...>" for each routine call
// of the start window ("D ..." for the dialog window), and plain markers
// ("load-begin", "worker-done", ...).
#include <windows.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "commands/libraries.h"
#include "data/window_template.h"
#include "runtime/memory.h"
#include "runtime/request_codes.h"
#include "runtime/runtime_app.h"
#include "runtime/runtime_state.h"
#include "runtime/services.h"
#include "runtime/window_layer.h"
#include "tests/windows/support/child_program.h"
#include "tools/template_variants.h"
#include "window_units/loaded_template.h"
#include "window_units/window_units.h"

namespace lyra {

extern const uint8_t kTestWindowTemplate[];
extern const uint32_t kTestWindowTemplateSize;

namespace {

using test::IsScenario;
using test::Log;
using test::Narrow;

int gCloseQuestions = 0;

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

// What a routine answers: false for no value.
bool Answer(uint32_t unitId, int32_t event, int64_t* result) {
    if (IsScenario(L"char-drop") && unitId == units::kNumberEdit && event == -11) {
        *result = 0;
        return true;
    }
    if (IsScenario(L"char-A") && unitId == units::kNumberEdit && event == -11) {
        *result = 65;
        return true;
    }
    if (IsScenario(L"close-refuse") && unitId == kWindowUnitId && event == 1 && ++gCloseQuestions == 1) {
        *result = 0;
        return true;
    }
    if (IsScenario(L"requests") && unitId == units::kNumberEdit && event == -9) {
        *result = 0x500000007LL;  // wider than a word: the typed request keeps both halves
        return true;
    }
    if (IsScenario(L"idle") && unitId == kWindowUnitId && event == 7) {
        static int calls = 0;
        *result = ++calls < 3;
        return true;
    }
    return false;
}

bool OnEvent(uint32_t index, const int64_t* args, int count, int64_t* result) {
    if (index == kTestShadowedRoutine) {
        Log("shadowed");
        return false;
    }
    int32_t event = TestRoutineEvent(index);
    EventSource source = CurrentEventSource();
    uint32_t ordinal = index / kTestEventSlots;
    bool dialog = ordinal >= kTestDialogFirstOrdinal;
    if (dialog) ordinal -= kTestDialogFirstOrdinal;
    const WindowRecord& window = *LoadedTemplate().FindWindowRecord(dialog ? kTestDialogWindowId : units::kMainWindow);
    if (ordinal >= window.units.size() || window.units[ordinal].id != source.unitId || source.windowId != window.id) {
        Log("source-mismatch " + std::to_string(index));
    }
    if (event == 7 && !IsScenario(L"idle")) return false;
    if (IsScenario(L"notify-icon") && !dialog && ordinal == 0 && event == 9 && count == 1 && args[0] == 3) {
        // The icon's context click takes the icon away again.
        kServices.WriteProperty(units::kMainWindow, kWindowUnitId, 17, -1, 0);
        Log("icon " + std::to_string(kServices.ReadProperty(units::kMainWindow, kWindowUnitId, 17, -1)));
    }
    std::string line = (dialog ? "D " : "E ") + Hex(source.unitId) + " " + std::to_string(event);
    for (int i = 0; i < count; ++i) line += " " + std::to_string(args[i]);
    Log(line);
    return Answer(source.unitId, event, result);
}

template <size_t Index>
bool TestRoutine(const int64_t* args, int count, int64_t* result) {
    return OnEvent(static_cast<uint32_t>(Index), args, count, result);
}

template <size_t... Index>
constexpr std::array<ApplicationRoutine, sizeof...(Index)> MakeRoutines(std::index_sequence<Index...>) {
    return {{&TestRoutine<Index>...}};
}

const std::array<ApplicationRoutine, kTestRoutineCount> kRoutines =
    MakeRoutines(std::make_index_sequence<kTestRoutineCount>{});
const RoutineTable kRoutineTable = {kTestRoutineCount, kRoutines.data()};

const uint8_t kConstantBytes[16] = {};

// ---- Property access from a worker thread ----

uint64_t TextValue(const char* text) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(text)); }

std::string ReadText(uint32_t unit, int32_t property, int32_t element = -1) {
    uint64_t value = kServices.ReadProperty(units::kMainWindow, unit, property, element);
    const char* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(value));
    std::string copy = text != nullptr ? text : "";
    kServices.FreeMemory(const_cast<char*>(text));
    return copy;
}

uint32_t ReadWord(uint32_t unit, int32_t property, int32_t element = -1) {
    return static_cast<uint32_t>(kServices.ReadProperty(units::kMainWindow, unit, property, element));
}

void Write(uint32_t unit, int32_t property, uint64_t value, int32_t element = -1) {
    kServices.WriteProperty(units::kMainWindow, unit, property, element, value);
}

DWORD WINAPI PropertyWorker(void*) {
    Log("worker-start");
    Write(units::kNumberEdit, 8, TextValue("12345"));
    Write(units::kNumberEdit, 10, 0x000000FF);
    Write(units::kNumberEdit, 14, static_cast<uint32_t>(-5));
    Log("edit " + ReadText(units::kNumberEdit, 8) + " colour " + Hex(ReadWord(units::kNumberEdit, 10)) + " limit " +
        std::to_string(static_cast<int32_t>(ReadWord(units::kNumberEdit, 14))));
    Write(units::kNumberEdit, 14, 11);
    Log("limit " + std::to_string(ReadWord(units::kNumberEdit, 14)));

    Write(units::kSavedNumberEdit, 19, TextValue("#"));
    Write(units::kSavedNumberEdit, 18, 2);
    Write(units::kNumberEdit, 18, 1);
    Write(units::kSavedNumberEdit, 8, TextValue("54321"));
    Log("saved " + ReadText(units::kSavedNumberEdit, 8) + " visible " + std::to_string(ReadWord(units::kSavedNumberEdit, 5)));

    Write(units::kQueryGroup, 8, TextValue("正在查询……"));
    Write(units::kQueryGroup, 6, 1);
    Write(units::kQueryGroup, 10, 0x000000FF);
    Write(units::kQueryGroup, 9, 7);
    Log("group disabled " + std::to_string(ReadWord(units::kQueryGroup, 6)) + " alignment " +
        std::to_string(ReadWord(units::kQueryGroup, 9)) + " colour " + Hex(ReadWord(units::kQueryGroup, 10)));
    Write(units::kQueryGroup, 6, 0);

    Write(units::kNumberLabel, 8, TextValue("号码："));
    Write(units::kNumberLabel, 4, TextValue("标记"));
    Log("label " + ReadText(units::kNumberLabel, 8) + " tag " + ReadText(units::kNumberLabel, 4));

    // Font sub-indexes: point size, face name, bold; then a whole-font write.
    Log("font size " + std::to_string(ReadWord(units::kNumberEdit, 12, 5)) + " bold " +
        std::to_string(ReadWord(units::kNumberEdit, 12, 1)));
    Write(units::kNumberEdit, 12, 1, 1);
    Write(units::kNumberEdit, 12, 14, 5);
    Log("font size " + std::to_string(ReadWord(units::kNumberEdit, 12, 5)) + " bold " +
        std::to_string(ReadWord(units::kNumberEdit, 12, 1)) + " face " + ReadText(units::kNumberEdit, 12, 6));
    // Sub-indexes outside the font's fields: a read answers 0, a write changes nothing.
    Write(units::kNumberEdit, 12, 1, 7);
    Write(units::kNumberEdit, 12, 0x10, -2);
    Log("font outside " + std::to_string(ReadWord(units::kNumberEdit, 12, 7)) + " " +
        std::to_string(ReadWord(units::kNumberEdit, 12, -2)) + " size " + std::to_string(ReadWord(units::kNumberEdit, 12, 5)));

    uint8_t pointerBlock[12] = {1, 0, 0, 0, 4, 0, 0, 0, 3, 0, 0, 0};  // a byte set holding pointer number 3
    Write(units::kNumberLabel, 7, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(pointerBlock)));
    uint64_t pointer = kServices.ReadProperty(units::kMainWindow, units::kNumberLabel, 7, -1);
    const void* pointerSet = reinterpret_cast<const void*>(static_cast<uintptr_t>(pointer));
    Log("pointer " + std::to_string(ByteSetLength(pointerSet)) + " " + std::to_string(ByteSetBytes(pointerSet)[0]));
    kServices.FreeMemory(const_cast<void*>(pointerSet));

    Write(kWindowUnitId, 5, 0);
    Log("window visible " + std::to_string(ReadWord(kWindowUnitId, 5)));
    Write(kWindowUnitId, 5, 1);
    Write(units::kNumberEdit, 0, 60);
    Log("window visible " + std::to_string(ReadWord(kWindowUnitId, 5)) + " edit left " +
        std::to_string(ReadWord(units::kNumberEdit, 0)) + " width " + std::to_string(ReadWord(units::kNumberEdit, 2)));
    Log("worker-done");
    return 0;
}

}  // namespace

#if defined(LYRABOX_EMPTY_TEMPLATE)
// window_child_empty.exe: the same program with a window template of size 0.
const uint32_t kTemplateSize = 0;
#else
const uint32_t kTemplateSize = kTestWindowTemplateSize;
#endif

const ProgramImageHeader kProgramImageHeader = {
    3, 0, 1, &kRoutineTable, kConstantBytes, sizeof kConstantBytes, kTestWindowTemplate, kTemplateSize,
    kLibraryCount, kLibraryTable.data(), 0, nullptr, nullptr,
};
const WindowLayer* const kProgramWindowLayer = &kWindowUnitsLayer;

int ApplicationEntry() {
    if (!test::ReadChildArguments()) return 2;

    kServices.RuntimeHelper(kHelperInitialiseProgram, 0, 0, 0, 0, 0, 0);
    Log("scenario " + Narrow(test::ChildScenario()));

    if (IsScenario(L"empty-template")) {
        // No windows: the loop returns at once, and loading one is fatal.
        Log("windows " + std::to_string(LoadedTemplate().windows.size()));
        kServices.RunMessageLoop();
        Log("loop-returned");
        kServices.LoadStartWindow(units::kMainWindow);
        Log("loaded");
        return 3;
    }
    if (IsScenario(L"read-unloaded")) {
        Log("left " + std::to_string(ReadWord(units::kNumberEdit, 0)) + " visible " + std::to_string(ReadWord(units::kSavedNumberEdit, 5)));
        Log("content " + ReadText(units::kNumberEdit, 8));
        return 3;
    }
    if (IsScenario(L"unknown-window")) {
        kServices.ReadProperty(0x52010099, units::kNumberEdit, 0, -1);
        return 3;
    }
    if (IsScenario(L"missing-unit-object")) {
        Log("object " + std::to_string(RuntimeRequest(kRequestUnitObject, units::kMainWindow, units::kNumberEdit)));
        RuntimeRequest(kRequestRequiredUnitObject, units::kMainWindow, units::kNumberEdit);
        return 3;
    }

    Log("load-begin");
    kServices.LoadStartWindow(units::kMainWindow);
    Log("load-end");

    HWND window = LoadedTemplate().windows.at(0).units.at(0).object->Handle();
    if (IsScenario(L"worker-props")) CloseHandle(CreateThread(nullptr, 0, &PropertyWorker, nullptr, 0, nullptr));
    if (IsScenario(L"second-load")) {
        ShowWindow(window, SW_MINIMIZE);
        Log(std::string("iconic ") + (IsIconic(window) ? "1" : "0"));
        kServices.LoadStartWindow(units::kMainWindow);
        Log(std::string("iconic ") + (IsIconic(window) ? "1" : "0") + " same " +
            (LoadedTemplate().windows.at(0).units.at(0).object->Handle() == window ? "1" : "0"));
    }
    if (IsScenario(L"event-unknown-window") || IsScenario(L"event-unknown-unit")) {
        EventRequest request{};
        bool unknownWindow = IsScenario(L"event-unknown-window");
        request.windowId = unknownWindow ? 0x52010099u : static_cast<uint32_t>(units::kMainWindow);
        request.unitId = unknownWindow ? static_cast<uint32_t>(units::kNumberEdit) : 0x16999999u;
        request.eventNumber = -9;
        RuntimeRequest(kRequestRaiseEvent, reinterpret_cast<intptr_t>(&request), 0);
        return 3;
    }
    if (IsScenario(L"property-data")) {
        // Every unit writes back the block it was built from.
        for (const UnitRecord& unit : LoadedTemplate().windows.at(0).units) {
            const DataTypeRecord* type = DataTypeRecordOf(unit.typeCode);
            auto data = reinterpret_cast<PropertyDataOperation>(type->getInterface(kOpGetAllPropertyData));
            auto* block = static_cast<uint8_t*>(data(unit.object));
            uint32_t size;
            std::memcpy(&size, block, 4);
            bool same = std::vector<uint8_t>(block + 4, block + 4 + size) == unit.propertyBlock;
            kServices.FreeMemory(block);
            Log("property-data " + Hex(unit.id) + (same ? " same" : " different"));
        }
        Log("property-data-done");
    }
    if (IsScenario(L"object-props")) {
        // Helpers 4 and 5: the edit box's own properties through its object.
        WindowRecord& start = LoadedTemplate().windows.at(0);
        UnitRecord* edit = start.FindUnit(units::kNumberEdit);
        auto object = reinterpret_cast<intptr_t>(edit->object);
        auto type = static_cast<intptr_t>(edit->typeCode);
        auto helper = kServices.RuntimeHelper;
        helper(kHelperWriteObjectProperty, type, object, 8, -1, static_cast<intptr_t>(TextValue("67890")), 0);
        helper(kHelperWriteObjectProperty, type, object, 14, -1, 7, 0);
        auto* text = reinterpret_cast<char*>(helper(kHelperReadObjectProperty, type, object, 8, -1, 0, 0));
        std::string content = text != nullptr ? text : "";
        kServices.FreeMemory(text);
        int local = 0;
        auto otherType = static_cast<intptr_t>(start.FindUnit(units::kQueryGroup)->typeCode);
        Log("object-props " + content + " " + std::to_string(helper(kHelperReadObjectProperty, type, object, 14, -1, 0, 0)) +
            " " + std::to_string(ReadWord(units::kNumberEdit, 14)) + " " +
            std::to_string(helper(kHelperReadObjectProperty, otherType, object, 8, -1, 0, 0)) + " " +
            std::to_string(helper(kHelperReadObjectProperty, type, reinterpret_cast<intptr_t>(&local), 8, -1, 0, 0)) +
            " " + std::to_string(helper(kHelperReadObjectProperty, type, object, 0, -1, 0, 0)));
    }
    if (IsScenario(L"requests")) {
        // Request 2031: an event with typed arguments, widened by type.
        TypedEventRequest typed{};
        typed.windowId = units::kMainWindow;
        typed.unitId = units::kNumberEdit;
        typed.eventNumber = -9;
        typed.argumentCount = 3;
        auto set = [&](int i, uint64_t datum, uint32_t type, uint32_t flags) {
            std::memcpy(typed.arguments[i].datum, &datum, 8);
            typed.arguments[i].type = type;
            typed.arguments[i].flags = flags;
        };
        set(0, 0xFFFFFF80u, kTypeByte, 0);
        set(1, 0x8000u, kTypeShort, 0);
        set(2, 0x100000002ull, kTypeInt, 2);
        intptr_t delivered = RuntimeRequest(kRequestRaiseTypedEvent, reinterpret_cast<intptr_t>(&typed), 0);
        Log("typed " + std::to_string(delivered) + " " + std::to_string(typed.hasResult) + " " + Hex(typed.result[0]) +
            " " + Hex(typed.result[1]));
        TypedEventRequest unbound = typed;
        unbound.eventNumber = 7;
        unbound.hasResult = 0;
        intptr_t absent = RuntimeRequest(kRequestRaiseTypedEvent, reinterpret_cast<intptr_t>(&unbound), 0);
        RuntimeRequest(kRequestSuspendEvents, 0, 0);
        TypedEventRequest blocked = typed;
        blocked.hasResult = 0;
        intptr_t suspended = RuntimeRequest(kRequestRaiseTypedEvent, reinterpret_cast<intptr_t>(&blocked), 0);
        RuntimeRequest(kRequestResumeEvents, 0, 0);
        Log("typed-not-delivered " + std::to_string(absent) + " " + std::to_string(unbound.hasResult) + " " +
            std::to_string(suspended) + " " + std::to_string(blocked.hasResult));
        // Codes the runtime does not know, inside and outside the numbered range.
        Log("unknown " + std::to_string(RuntimeRequest(2039, 1, 2)) + " " + std::to_string(RuntimeRequest(1014, 1, 2)) +
            " " + std::to_string(RuntimeRequest(4242, 1, 2)) + " " + std::to_string(RuntimeRequest(-1, 1, 2)));
    }
    if (IsScenario(L"notify-icon")) {
        Write(kWindowUnitId, 17, 1);
        Log("icon " + std::to_string(ReadWord(kWindowUnitId, 17)));
    }
    if (IsScenario(L"modal")) {
        // The dialog twice, modally: first over an enabled main window, then
        // over one the program had disabled itself.
        Log("modal-begin");
        intptr_t loaded = RuntimeRequest(kRequestLoadWindow, kTestDialogWindowId, 1);
        Log("modal-end " + std::to_string(loaded) + " main-enabled " + (IsWindowEnabled(window) ? "1" : "0"));
        EnableWindow(window, FALSE);
        RuntimeRequest(kRequestLoadWindow, kTestDialogWindowId, 1);
        Log("modal-end-2 main-enabled " + std::string(IsWindowEnabled(window) ? "1" : "0"));
        EnableWindow(window, TRUE);
    }
    if (IsScenario(L"disabled-group")) {
        // As a lookup does: the focus sits in the number box, then its group goes disabled.
        SetFocus(LoadedTemplate().windows.at(0).FindUnit(units::kNumberEdit)->object->Handle());
        Write(units::kQueryGroup, 6, 1);
        Log("disabled-done");
    }
    if (IsScenario(L"focus")) {
        HWND edit = LoadedTemplate().windows.at(0).FindUnit(units::kNumberEdit)->object->Handle();
        SetFocus(edit);
        SetFocus(window);
        Log("focus-done");
    }
    kServices.RunMessageLoop();
    Log("loop-end");
    return 0;
}

}  // namespace lyra
