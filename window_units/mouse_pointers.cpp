#include "window_units/mouse_pointers.h"

#include <algorithm>
#include <cstring>

#include "window_units/component.h"
#include "window_units/loaded_template.h"

namespace lyra {

namespace {

// Standard pointer numbers 1.. in order.
const LPCWSTR kStandardPointers[] = {
    IDC_ARROW,  IDC_CROSS,  IDC_IBEAM,    IDC_ICON,   IDC_SIZE,    IDC_SIZENESW, IDC_SIZENS,
    IDC_SIZENWSE, IDC_SIZEWE, IDC_UPARROW, IDC_WAIT,  IDC_NO,      IDC_APPSTARTING, IDC_HELP,
    IDC_SIZEALL, IDC_HAND,
};

// Pointers made from file data, which belong to us.
std::vector<HCURSOR> gOwnedPointers;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// A .cur file: 6-byte header (0, 2, count), 16-byte entries (width,
// height, colours, 0, hotspot x, hotspot y, size, offset), then images.
HCURSOR CursorFromFile(const std::vector<uint8_t>& file) {
    if (file.size() < 22 || U16(file.data()) != 0 || U16(file.data() + 2) != 2 || U16(file.data() + 4) == 0) {
        return nullptr;
    }
    const uint8_t* entry = file.data() + 6;
    uint32_t size = U32(entry + 8), offset = U32(entry + 12);
    if (offset > file.size() || size > file.size() - offset || size == 0) return nullptr;
    // The resource form puts the hotspot in front of the image.
    std::vector<uint8_t> resource(4);
    std::memcpy(resource.data(), entry + 4, 4);
    resource.insert(resource.end(), file.begin() + offset, file.begin() + offset + size);
    return reinterpret_cast<HCURSOR>(CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()),
                                                              FALSE, 0x00030000, 0, 0, LR_DEFAULTCOLOR));
}

constexpr uint32_t kStandardPointerCount = sizeof kStandardPointers / sizeof kStandardPointers[0];

uint32_t CursorId(uint32_t number) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(kStandardPointers[number - 1]));
}

std::string WithFirstWord(const std::string& block, uint32_t word) {
    std::string changed = block;
    std::memcpy(&changed[0], &word, 4);
    return changed;
}

}  // namespace

std::string PointerBlockForProgram(const std::string& stored) {
    if (stored.size() < 4) return stored;
    uint32_t number = U32(reinterpret_cast<const uint8_t*>(stored.data()));
    if (number == 0 || number > kStandardPointerCount) return stored;
    return WithFirstWord(stored, CursorId(number));
}

std::string PointerBlockForStore(const std::string& program) {
    if (program.size() < 4) return program;
    uint32_t id = U32(reinterpret_cast<const uint8_t*>(program.data()));
    for (uint32_t number = 1; number <= kStandardPointerCount; ++number) {
        if (CursorId(number) == id) return WithFirstWord(program, number);
    }
    return program;
}

HCURSOR CreateMousePointer(const std::vector<uint8_t>& block) {
    if (block.size() < 4) return nullptr;
    if (block.size() == 4) {
        uint32_t number = U32(block.data());
        if (number == 0 || number > sizeof kStandardPointers / sizeof kStandardPointers[0]) return nullptr;
        return LoadCursorW(nullptr, kStandardPointers[number - 1]);
    }
    HCURSOR cursor = CursorFromFile(block);
    if (cursor != nullptr) gOwnedPointers.push_back(cursor);
    return cursor;
}

void DestroyMousePointer(HCURSOR pointer) {
    auto owned = std::find(gOwnedPointers.begin(), gOwnedPointers.end(), pointer);
    if (pointer == nullptr || owned == gOwnedPointers.end()) return;
    gOwnedPointers.erase(owned);
    DestroyCursor(pointer);
}

HCURSOR PointerOfWindow(HWND window) {
    auto* component = dynamic_cast<Component*>(framework::WindowObject::FromHandle(window));
    if (component == nullptr) return nullptr;
    WindowRecord* record = LoadedTemplate().FindWindowRecord(component->windowId());
    if (record == nullptr) return nullptr;
    UnitRecord* unit = FindTemplateUnit(*record, component->unitId());
    return unit != nullptr ? static_cast<HCURSOR>(unit->pointer) : nullptr;
}

}  // namespace lyra
