#include "window_units/property_access.h"

#include <windows.h>

#include <cstring>

#include "runtime/errors.h"
#include "runtime/memory.h"
#include "runtime/runtime_app.h"
#include "runtime/runtime_state.h"
#include "runtime/values.h"
#include "window_units/component.h"
#include "window_units/component_support.h"
#include "window_units/loaded_template.h"
#include "window_units/mouse_pointers.h"
#include "window_units/property_kinds.h"
#include "window_units/system_dpi.h"

namespace lyra {

namespace {

enum CommonProperty { kLeft = 0, kTop, kWidth, kHeight, kTag, kVisible, kDisabled, kMousePointer, kFirstOwn };

enum FontField { kFontWhole = -1, kFontAngle = 0, kFontBold, kFontItalic, kFontStrikeOut, kFontUnderline, kFontPointSize, kFontFace };

uint64_t Word(uint32_t value) { return value; }
uint64_t PointerValue(const void* p) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p)); }
const char* TextOf(uint64_t value) { return reinterpret_cast<const char*>(static_cast<uintptr_t>(value)); }
const void* BlockOf(uint64_t value) { return reinterpret_cast<const void*>(static_cast<uintptr_t>(value)); }

std::string BytesOfByteSet(uint64_t value) {
    const void* byteSet = BlockOf(value);
    int32_t length = ByteSetLength(byteSet);
    if (length <= 0) return std::string();
    return std::string(reinterpret_cast<const char*>(ByteSetBytes(byteSet)), static_cast<size_t>(length));
}

struct Target {
    WindowRecord* window;
    UnitRecord* unit;
};

Target FindTarget(uint32_t windowId, uint32_t unitId) {
    WindowRecord* window = LoadedTemplate().FindWindowRecord(windowId);
    if (window == nullptr) ReportError("未载入欲访问窗口组件所在的窗口", 0);
    UnitRecord* unit = FindTemplateUnit(*window, unitId);
    if (unit == nullptr) ReportError("指定窗口或窗口组件不存在或尚未载入", 0);
    return Target{window, unit};
}

// The live rectangle, relative to the parent's client area (or the screen
// for a top-level window), in template units.
RECT LiveRect(HWND handle) {
    RECT rect;
    GetWindowRect(handle, &rect);
    HWND parent = GetParent(handle);
    if (parent != nullptr && (GetWindowLongPtrW(handle, GWL_STYLE) & WS_CHILD)) {
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    }
    LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    LONG left = ToUnits(rect.left), top = ToUnits(rect.top);
    return RECT{left, top, left + ToUnits(width), top + ToUnits(height)};
}

uint64_t ReadCommon(const UnitRecord& unit, int32_t property) {
    HWND handle = UnitHandle(unit);
    RECT rect{};
    if (handle != nullptr && property <= kHeight) rect = LiveRect(handle);
    switch (property) {
        case kLeft: return Word(static_cast<uint32_t>(handle ? rect.left : unit.left));
        case kTop: return Word(static_cast<uint32_t>(handle ? rect.top : unit.top));
        case kWidth: return Word(static_cast<uint32_t>(handle ? rect.right - rect.left : unit.width));
        case kHeight: return Word(static_cast<uint32_t>(handle ? rect.bottom - rect.top : unit.height));
        case kTag: return PointerValue(MakeText(unit.tag.data(), unit.tag.size()));
        case kVisible:
            if (handle) return (GetWindowLongPtrW(handle, GWL_STYLE) & WS_VISIBLE) ? 1 : 0;
            return (unit.flags & kUnitVisible) ? 1 : 0;
        case kDisabled:
            if (handle) return IsWindowEnabled(handle) ? 0 : 1;
            return (unit.flags & kUnitDisabled) ? 1 : 0;
        default:
            return PointerValue(MakeByteSet(unit.mousePointer.data(), unit.mousePointer.size()));
    }
}

void WriteCommon(UnitRecord& unit, int32_t property, uint64_t value) {
    HWND handle = UnitHandle(unit);
    int32_t number = static_cast<int32_t>(static_cast<uint32_t>(value));
    switch (property) {
        case kLeft:
        case kTop:
        case kWidth:
        case kHeight: {
            int32_t* fields[4] = {&unit.left, &unit.top, &unit.width, &unit.height};
            if (handle) {
                RECT rect = LiveRect(handle);
                unit.left = rect.left;
                unit.top = rect.top;
                unit.width = rect.right - rect.left;
                unit.height = rect.bottom - rect.top;
            }
            *fields[property] = number;
            if (handle) {
                SetWindowPos(handle, nullptr, ToPixels(unit.left), ToPixels(unit.top), ToPixels(unit.width),
                             ToPixels(unit.height), SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return;
        }
        case kTag: {
            const char* text = TextOf(value);
            unit.tag = text != nullptr ? text : "";
            return;
        }
        case kVisible:
            unit.flags = number != 0 ? (unit.flags | kUnitVisible) : (unit.flags & ~kUnitVisible);
            if (handle) {
                bool topLevel = (GetWindowLongPtrW(handle, GWL_STYLE) & WS_CHILD) == 0;
                ShowWindow(handle, number == 0 ? SW_HIDE : topLevel ? SW_SHOW : SW_SHOWNA);
            }
            return;
        case kDisabled:
            unit.flags = number != 0 ? (unit.flags | kUnitDisabled) : (unit.flags & ~kUnitDisabled);
            if (handle) EnableWindow(handle, number == 0);
            return;
        default: {
            std::string bytes = BytesOfByteSet(value);
            unit.mousePointer.assign(bytes.begin(), bytes.end());
            if (handle) {
                DestroyMousePointer(static_cast<HCURSOR>(unit.pointer));
                unit.pointer = CreateMousePointer(unit.mousePointer);
            }
            return;
        }
    }
}

struct OwnProperty {
    Component* component;
    const PropertyDescription* description;
    GetPropertyOperation get;
    SetPropertyOperation set;
};

// The own property's description and operations of a component of the
// type typeCode; description is null for a number the type does not have.
OwnProperty OwnPropertyOf(Component* component, uint32_t typeCode, int32_t property) {
    OwnProperty own{component, nullptr, nullptr, nullptr};
    const DataTypeRecord* type = DataTypeRecordOf(typeCode);
    uint32_t number = static_cast<uint32_t>(property - kFirstOwn);
    if (type == nullptr || type->getInterface == nullptr || number >= type->propertyCount) return own;
    own.description = &type->properties[number];
    own.get = reinterpret_cast<GetPropertyOperation>(type->getInterface(kOpGetProperty));
    own.set = reinterpret_cast<SetPropertyOperation>(type->getInterface(kOpPropertyChanged));
    return own;
}

// As OwnPropertyOf for a unit; a component without a live window is the
// error "指定窗口尚未载入".
OwnProperty FindOwnProperty(UnitRecord& unit, int32_t property) {
    if (UnitHandle(unit) == nullptr) ReportError("指定窗口尚未载入", 0);
    return OwnPropertyOf(unit.object, unit.typeCode, property);
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

LogFontFields FontOf(const std::string& bytes) {
    LogFontFields font;
    if (!DecodeLogFont(std::vector<uint8_t>(bytes.begin(), bytes.end()), &font)) font = DefaultGuiFontFields();
    return font;
}

int32_t PointSize(const LogFontFields& font) {
    int32_t height = font.height < 0 ? -font.height : font.height;
    return MulDiv(height, 72, ScreenDpi());
}

uint64_t ReadFontField(const std::string& bytes, int32_t element) {
    LogFontFields font = FontOf(bytes);
    switch (element) {
        case kFontAngle: return Word(static_cast<uint32_t>(font.orientation));
        case kFontBold: return font.weight >= 700 ? 1 : 0;
        case kFontItalic: return font.italic ? 1 : 0;
        case kFontStrikeOut: return font.strikeOut ? 1 : 0;
        case kFontUnderline: return font.underline ? 1 : 0;
        case kFontPointSize: return Word(static_cast<uint32_t>(PointSize(font)));
        case kFontFace: return PointerValue(MakeText(font.faceName.data(), font.faceName.size()));
        case kFontWhole: {
            auto* record = static_cast<FontRecord*>(AllocMemory(sizeof(FontRecord)));
            record->angle = font.orientation;
            record->bold = font.weight >= 700 ? 1 : 0;
            record->italic = font.italic ? 1 : 0;
            record->strikeOut = font.strikeOut ? 1 : 0;
            record->underline = font.underline ? 1 : 0;
            record->pointSize = PointSize(font);
            record->faceName = MakeText(font.faceName.data(), font.faceName.size());
            return PointerValue(record);
        }
        default: return 0;  // no such field
    }
}

void SetPointSize(LogFontFields& font, int32_t points) { font.height = -MulDiv(points, ScreenDpi(), 72); }

std::string WriteFontField(const std::string& current, int32_t element, uint64_t value) {
    LogFontFields font = FontOf(current);
    int32_t number = static_cast<int32_t>(static_cast<uint32_t>(value));
    switch (element) {
        case kFontAngle: font.orientation = font.escapement = number; break;
        case kFontBold: font.weight = number != 0 ? 700 : 400; break;
        case kFontItalic: font.italic = number != 0; break;
        case kFontStrikeOut: font.strikeOut = number != 0; break;
        case kFontUnderline: font.underline = number != 0; break;
        case kFontPointSize: SetPointSize(font, number); break;
        case kFontFace: {
            const char* face = TextOf(value);
            font.faceName = face != nullptr ? face : "";
            if (font.faceName.size() > 31) font.faceName.resize(31);
            break;
        }
        case kFontWhole: {
            const auto* record = static_cast<const FontRecord*>(BlockOf(value));
            if (record == nullptr) return std::string();  // the default font
            font.orientation = font.escapement = record->angle;
            font.weight = record->bold ? 700 : 400;
            font.italic = record->italic != 0;
            font.strikeOut = record->strikeOut != 0;
            font.underline = record->underline != 0;
            SetPointSize(font, record->pointSize);
            font.faceName = record->faceName != nullptr ? record->faceName : "";
            if (font.faceName.size() > 31) font.faceName.resize(31);
            break;
        }
        default: return current;  // no such field: the font stays as it is
    }
    std::vector<uint8_t> encoded = EncodeLogFont(font);
    return std::string(encoded.begin(), encoded.end());
}

uint64_t ReadOwn(const OwnProperty& own, int32_t property, int32_t element) {
    PropertyValue value;
    if (own.description == nullptr || own.get == nullptr || !own.get(own.component, property - kFirstOwn, &value)) {
        return 0;
    }
    uint16_t kind = own.description->valueKind;
    if (IsIntegerKind(kind)) return Word(static_cast<uint32_t>(value.number));
    if (Is64BitKind(kind)) return static_cast<uint64_t>(value.number);
    if (kind == kKindLogical) return value.number == 1 ? 1 : 0;
    if (kind == kKindFont) return ReadFontField(value.bytes, element);
    if (kind == kKindMousePointer) {
        std::string block = PointerBlockForProgram(value.bytes);
        return PointerValue(MakeByteSet(block.data(), block.size()));
    }
    if (IsBinaryKind(kind)) return PointerValue(MakeByteSet(value.bytes.data(), value.bytes.size()));
    return PointerValue(MakeText(value.bytes.data(), value.bytes.size()));
}

void WriteOwn(const OwnProperty& own, int32_t property, int32_t element, uint64_t raw) {
    if (own.description == nullptr || own.set == nullptr) return;
    uint16_t kind = own.description->valueKind;
    PropertyValue value;
    if (IsIntegerKind(kind)) {
        value.number = static_cast<int32_t>(static_cast<uint32_t>(raw));
    } else if (Is64BitKind(kind)) {
        value.number = static_cast<int64_t>(raw);
    } else if (kind == kKindLogical) {
        value.number = static_cast<uint32_t>(raw) != 0 ? 1 : 0;
    } else if (kind == kKindFont) {
        PropertyValue current;
        if (element != -1 && own.get != nullptr) own.get(own.component, property - kFirstOwn, &current);
        value.bytes = WriteFontField(current.bytes, element, raw);
    } else if (kind == kKindMousePointer) {
        value.bytes = PointerBlockForStore(BytesOfByteSet(raw));
    } else if (IsBinaryKind(kind)) {
        value.bytes = BytesOfByteSet(raw);
    } else {
        const char* text = TextOf(raw);
        if (text != nullptr) value.bytes = text;
    }
    own.set(own.component, property - kFirstOwn, value);
}

struct PropertyCall {
    uint32_t windowId;
    uint32_t unitId;
    int32_t property;
    int32_t element;
    uint64_t value;
};

// Once the program is ending (ProgramEnding), a worker's late access finds
// no windows: it is dropped rather than reported as an error.
void ReadOnWindowThread(void* context) {
    auto* call = static_cast<PropertyCall*>(context);
    if (ProgramEnding()) return;
    Target target = FindTarget(call->windowId, call->unitId);
    if (call->property < 0) {
        call->value = 0;
    } else if (call->property < kFirstOwn) {
        call->value = ReadCommon(*target.unit, call->property);
    } else {
        call->value = ReadOwn(FindOwnProperty(*target.unit, call->property), call->property, call->element);
    }
}

void WriteOnWindowThread(void* context) {
    auto* call = static_cast<PropertyCall*>(context);
    if (ProgramEnding()) return;
    Target target = FindTarget(call->windowId, call->unitId);
    if (call->property < 0) return;
    if (call->property < kFirstOwn) WriteCommon(*target.unit, call->property, call->value);
    else WriteOwn(FindOwnProperty(*target.unit, call->property), call->property, call->element, call->value);
}

// The own property of an object given by its type code, when the object is
// a live component of that type in the loaded template; otherwise nothing
// is touched through it.
struct ObjectPropertyCall {
    uint32_t typeCode;
    void* object;
    int32_t property;
    int32_t element;
    uint64_t value;
};

bool FindLiveObject(uint32_t typeCode, void* object, OwnProperty* own, int32_t property) {
    if (object == nullptr || property < kFirstOwn) return false;
    for (WindowRecord& window : LoadedTemplate().windows) {
        for (UnitRecord& unit : window.units) {
            if (unit.object != object) continue;
            if (unit.typeCode != typeCode || UnitHandle(unit) == nullptr) return false;
            *own = OwnPropertyOf(unit.object, typeCode, property);
            return true;
        }
    }
    return false;
}

void ReadObjectOnWindowThread(void* context) {
    auto* call = static_cast<ObjectPropertyCall*>(context);
    OwnProperty own;
    if (ProgramEnding() || !FindLiveObject(call->typeCode, call->object, &own, call->property)) return;
    call->value = ReadOwn(own, call->property, call->element);
}

void WriteObjectOnWindowThread(void* context) {
    auto* call = static_cast<ObjectPropertyCall*>(context);
    OwnProperty own;
    if (ProgramEnding() || !FindLiveObject(call->typeCode, call->object, &own, call->property)) return;
    WriteOwn(own, call->property, call->element, call->value);
}

}  // namespace

uint64_t ReadUnitProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t element) {
    PropertyCall call{windowId, unitId, property, element, 0};
    RunOnMainThread(&ReadOnWindowThread, &call);
    return call.value;
}

void WriteUnitProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t element, uint64_t value) {
    PropertyCall call{windowId, unitId, property, element, value};
    RunOnMainThread(&WriteOnWindowThread, &call);
}

uint64_t ReadObjectProperty(uint32_t typeCode, void* object, int32_t property, int32_t element) {
    ObjectPropertyCall call{typeCode, object, property, element, 0};
    RunOnMainThread(&ReadObjectOnWindowThread, &call);
    return call.value;
}

void WriteObjectProperty(uint32_t typeCode, void* object, int32_t property, int32_t element, uint64_t value) {
    ObjectPropertyCall call{typeCode, object, property, element, value};
    RunOnMainThread(&WriteObjectOnWindowThread, &call);
}

}  // namespace lyra
