// The window template: the binary block that describes every window and
// its units, and the parsed form the runtime keeps of it.
//
// The block is little-endian 32-bit words, length-prefixed blocks and
// zero-terminated GBK texts. Reading is bounds-checked throughout: any read
// past the end throws framework::ArchiveError and nothing of the template is
// kept. Writing produces the same layout, so read -> write gives the bytes
// back for any template this writer produced.
//
// Platform-free: the host template compiler and the host tests use it too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/program_image.h"

namespace lyra {

class Component;

constexpr uint32_t kWindowUnitId = 0x06010000;
constexpr uint32_t kNoRoutine = 0xFFFFFFFF;

// Unit flags (record row 13).
enum UnitFlags : uint32_t {
    kUnitVisible = 1,
    kUnitDisabled = 2,
    kUnitTabStop = 4,
};

// Type codes of the template's unit types.
enum UnitTypeCode : uint32_t {
    kTypeCodeWindow = 0x00010001,
    kTypeCodeMenuItem = 0x00010003,
    kTypeCodeEditBox = 0x00010005,
    kTypeCodeGroupBox = 0x00010009,
    kTypeCodeLabel = 0x0001000A,
    kTypeCodeHyperLinker = 0x0001001D,
    kTypeCodeListView = 0x00020004,
    kTypeCodeSuperBtn = 0x00030001,
};

inline bool IsMenuItemId(uint32_t unitId) {
    return (unitId & 0x0F000000) == 0x06000000 && (unitId & 0xF0000000) == 0x20000000;
}
// An id names something only when its serial and category are both set.
inline bool IsValidUnitId(uint32_t unitId) { return (unitId & 0x00FFFFFF) != 0 && (unitId & 0x0F000000) != 0; }

struct EventBinding {
    int32_t eventNumber = 0;
    // As stored: an index into the routine table, or kNoRoutine.
    uint32_t routineWord = kNoRoutine;
    // After relocation: the routine, or null for none.
    ApplicationRoutine routine = nullptr;
};

struct UnitRecord {
    uint32_t id = 0;
    uint32_t typeCode = 0;
    uint32_t reserved[5] = {};
    std::string name;        // GBK
    std::string secondName;  // GBK
    // The stored words of the runtime slots; meaningless in the file, kept
    // only so that the writer reproduces what it read.
    uint32_t objectWord = 0;
    uint32_t pointerWord = 0;

    // Components and the window.
    int32_t left = 0, top = 0, width = 0, height = 0;
    uint32_t parentId = 0;
    std::vector<uint32_t> children;
    std::vector<uint8_t> mousePointer;  // standard pointer number (4 bytes) or pointer file data
    std::string tag;                    // GBK
    uint32_t reserved12 = 0;
    uint32_t flags = 0;
    uint32_t tabOrder = 0;
    std::vector<EventBinding> events;

    // Menu items only (ids for which IsMenuItemId holds).
    uint32_t menuWords[3] = {};
    std::string menuCaption;
    EventBinding menuRoutine;

    // The type's own property block: for a menu item its own data.
    std::vector<uint8_t> propertyBlock;

    // Live state, owned by the window units; never written to the file.
    Component* object = nullptr;
    void* pointer = nullptr;  // the created mouse pointer (HCURSOR)

    bool isMenuItem() const { return IsMenuItemId(id); }
};

struct WindowRecord {
    uint32_t id = 0;
    uint32_t slotWord = 0;  // stored pointer slot of the window table
    uint32_t word1 = 0;
    uint32_t word2 = 0;
    std::string text1;
    std::string text2;
    std::vector<UnitRecord> units;  // unit 0 is the window's own record

    // Live state.
    bool loaded = false;
    bool activatedOnce = false;

    UnitRecord* FindUnit(uint32_t unitId);
    const UnitRecord* FindUnit(uint32_t unitId) const;
};

struct WindowTemplate {
    std::vector<WindowRecord> windows;

    WindowRecord* FindWindowRecord(uint32_t windowId);
    const WindowRecord* FindWindowRecord(uint32_t windowId) const;
};

// Reads a whole template. Throws framework::ArchiveError on any read past
// the end or any inconsistency that would make a lookup read outside the
// block; a size of 0 gives a template without windows.
WindowTemplate ReadTemplate(const uint8_t* data, size_t size);

// Replaces every routine word by its routine: kNoRoutine or a null table
// entry becomes null. A word that names no entry of the table makes the
// template unreadable (throws framework::ArchiveError).
void RelocateRoutines(WindowTemplate& windowTemplate, const RoutineTable* routines);

std::vector<uint8_t> WriteTemplate(const WindowTemplate& windowTemplate);

// Helpers shared with the property blocks: little-endian output.
void AppendU32(std::vector<uint8_t>& out, uint32_t value);
void AppendBytes(std::vector<uint8_t>& out, const void* data, size_t size);

}  // namespace lyra
