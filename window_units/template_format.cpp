#include "window_units/template_format.h"

#include "runtime/framework/archive.h"

namespace lyra {

using framework::ArchiveError;
using framework::MemoryArchive;

namespace {

std::string ReadZText(MemoryArchive& archive) {
    std::string text;
    for (;;) {
        uint8_t c = archive.ReadU8();
        if (c == 0) return text;
        text.push_back(static_cast<char>(c));
    }
}

std::string ReadCountedText(MemoryArchive& archive) {
    uint32_t length = archive.ReadU32();
    const uint8_t* bytes = archive.ReadBytes(length);
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

std::vector<uint8_t> ReadBlock(MemoryArchive& archive) {
    uint32_t length = archive.ReadU32();
    const uint8_t* bytes = archive.ReadBytes(length);
    return std::vector<uint8_t>(bytes, bytes + length);
}

// A count of fixed-size items must fit in what is left, so that a forged
// count never asks for more memory than the block could describe.
uint32_t ReadCount(MemoryArchive& archive, size_t itemSize) {
    uint32_t count = archive.ReadU32();
    if (static_cast<uint64_t>(count) * itemSize > archive.Remaining()) throw ArchiveError();
    return count;
}

void ReadUnitRecord(MemoryArchive& record, UnitRecord& unit) {
    unit.typeCode = record.ReadU32();
    for (uint32_t& word : unit.reserved) word = record.ReadU32();
    unit.name = ReadZText(record);
    unit.secondName = ReadZText(record);
    if (unit.isMenuItem()) {
        for (uint32_t& word : unit.menuWords) word = record.ReadU32();
        unit.objectWord = unit.menuWords[0];
        unit.menuCaption = ReadZText(record);
        unit.menuRoutine.routineWord = record.ReadU32();
    } else {
        unit.objectWord = record.ReadU32();
        unit.left = record.ReadI32();
        unit.top = record.ReadI32();
        unit.width = record.ReadI32();
        unit.height = record.ReadI32();
        unit.pointerWord = record.ReadU32();
        unit.parentId = record.ReadU32();
        uint32_t childCount = ReadCount(record, 4);
        unit.children.resize(childCount);
        for (uint32_t& child : unit.children) child = record.ReadU32();
        unit.mousePointer = ReadBlock(record);
        unit.tag = ReadZText(record);
        unit.reserved12 = record.ReadU32();
        unit.flags = record.ReadU32();
        unit.tabOrder = record.ReadU32();
        uint32_t eventCount = ReadCount(record, 8);
        unit.events.resize(eventCount);
        for (EventBinding& binding : unit.events) {
            binding.eventNumber = record.ReadI32();
            binding.routineWord = record.ReadU32();
        }
    }
    size_t restSize = record.Remaining();
    const uint8_t* rest = record.ReadBytes(restSize);
    unit.propertyBlock.assign(rest, rest + restSize);
}

void ReadUnitTable(const std::vector<uint8_t>& table, uint32_t unitCount, WindowRecord& window) {
    MemoryArchive archive(table.data(), table.size());
    if (static_cast<uint64_t>(unitCount) * 8 > table.size()) throw ArchiveError();
    window.units.resize(unitCount);
    for (UnitRecord& unit : window.units) unit.id = archive.ReadU32();
    std::vector<uint32_t> offsets(unitCount);
    for (uint32_t& offset : offsets) offset = archive.ReadU32();

    const uint8_t* area = table.data() + archive.Position();
    size_t areaSize = archive.Remaining();
    for (uint32_t i = 0; i < unitCount; ++i) {
        if (offsets[i] > areaSize) throw ArchiveError();
        MemoryArchive at(area + offsets[i], areaSize - offsets[i]);
        uint32_t length = at.ReadU32();
        const uint8_t* bytes = at.ReadBytes(length);
        MemoryArchive record(bytes, length);
        ReadUnitRecord(record, window.units[i]);
    }
}

void AppendZText(std::vector<uint8_t>& out, const std::string& text) {
    AppendBytes(out, text.data(), text.size());
    out.push_back(0);
}

void AppendCountedText(std::vector<uint8_t>& out, const std::string& text) {
    AppendU32(out, static_cast<uint32_t>(text.size()));
    AppendBytes(out, text.data(), text.size());
}

void AppendBlock(std::vector<uint8_t>& out, const std::vector<uint8_t>& block) {
    AppendU32(out, static_cast<uint32_t>(block.size()));
    AppendBytes(out, block.data(), block.size());
}

std::vector<uint8_t> WriteUnitRecord(const UnitRecord& unit) {
    std::vector<uint8_t> out;
    AppendU32(out, unit.typeCode);
    for (uint32_t word : unit.reserved) AppendU32(out, word);
    AppendZText(out, unit.name);
    AppendZText(out, unit.secondName);
    if (unit.isMenuItem()) {
        for (uint32_t word : unit.menuWords) AppendU32(out, word);
        AppendZText(out, unit.menuCaption);
        AppendU32(out, unit.menuRoutine.routineWord);
    } else {
        AppendU32(out, unit.objectWord);
        AppendU32(out, static_cast<uint32_t>(unit.left));
        AppendU32(out, static_cast<uint32_t>(unit.top));
        AppendU32(out, static_cast<uint32_t>(unit.width));
        AppendU32(out, static_cast<uint32_t>(unit.height));
        AppendU32(out, unit.pointerWord);
        AppendU32(out, unit.parentId);
        AppendU32(out, static_cast<uint32_t>(unit.children.size()));
        for (uint32_t child : unit.children) AppendU32(out, child);
        AppendBlock(out, unit.mousePointer);
        AppendZText(out, unit.tag);
        AppendU32(out, unit.reserved12);
        AppendU32(out, unit.flags);
        AppendU32(out, unit.tabOrder);
        AppendU32(out, static_cast<uint32_t>(unit.events.size()));
        for (const EventBinding& binding : unit.events) {
            AppendU32(out, static_cast<uint32_t>(binding.eventNumber));
            AppendU32(out, binding.routineWord);
        }
    }
    AppendBytes(out, unit.propertyBlock.data(), unit.propertyBlock.size());
    return out;
}

std::vector<uint8_t> WriteUnitTable(const WindowRecord& window) {
    std::vector<uint8_t> ids, offsets, area;
    for (const UnitRecord& unit : window.units) {
        AppendU32(ids, unit.id);
        AppendU32(offsets, static_cast<uint32_t>(area.size()));
        std::vector<uint8_t> record = WriteUnitRecord(unit);
        AppendBlock(area, record);
    }
    std::vector<uint8_t> table;
    AppendBytes(table, ids.data(), ids.size());
    AppendBytes(table, offsets.data(), offsets.size());
    AppendBytes(table, area.data(), area.size());
    return table;
}

ApplicationRoutine Relocate(uint32_t word, const RoutineTable* routines) {
    if (word == kNoRoutine) return nullptr;
    if (routines == nullptr || word >= routines->count) throw ArchiveError();
    return routines->routines[word];
}

}  // namespace

void AppendU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void AppendBytes(std::vector<uint8_t>& out, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (size > 0) out.insert(out.end(), bytes, bytes + size);
}

UnitRecord* WindowRecord::FindUnit(uint32_t unitId) {
    for (UnitRecord& unit : units) {
        if (unit.id == unitId) return &unit;
    }
    return nullptr;
}

const UnitRecord* WindowRecord::FindUnit(uint32_t unitId) const {
    return const_cast<WindowRecord*>(this)->FindUnit(unitId);
}

WindowRecord* WindowTemplate::FindWindowRecord(uint32_t windowId) {
    for (WindowRecord& window : windows) {
        if (window.id == windowId) return &window;
    }
    return nullptr;
}

const WindowRecord* WindowTemplate::FindWindowRecord(uint32_t windowId) const {
    return const_cast<WindowTemplate*>(this)->FindWindowRecord(windowId);
}

WindowTemplate ReadTemplate(const uint8_t* data, size_t size) {
    WindowTemplate result;
    if (size == 0) return result;
    MemoryArchive archive(data, size);
    uint32_t tableSize = archive.ReadU32();
    if (tableSize % 8 != 0 || tableSize > archive.Remaining()) throw ArchiveError();
    uint32_t windowCount = tableSize / 8;
    result.windows.resize(windowCount);
    for (WindowRecord& window : result.windows) window.id = archive.ReadU32();
    for (WindowRecord& window : result.windows) window.slotWord = archive.ReadU32();
    for (WindowRecord& window : result.windows) {
        window.word1 = archive.ReadU32();
        window.word2 = archive.ReadU32();
        window.text1 = ReadCountedText(archive);
        window.text2 = ReadCountedText(archive);
        uint32_t unitCount = archive.ReadU32();
        std::vector<uint8_t> table = ReadBlock(archive);
        ReadUnitTable(table, unitCount, window);
    }
    return result;
}

void RelocateRoutines(WindowTemplate& windowTemplate, const RoutineTable* routines) {
    for (WindowRecord& window : windowTemplate.windows) {
        for (UnitRecord& unit : window.units) {
            if (unit.isMenuItem()) {
                unit.menuRoutine.routine = Relocate(unit.menuRoutine.routineWord, routines);
                continue;
            }
            for (EventBinding& binding : unit.events) binding.routine = Relocate(binding.routineWord, routines);
        }
    }
}

std::vector<uint8_t> WriteTemplate(const WindowTemplate& windowTemplate) {
    std::vector<uint8_t> out;
    if (windowTemplate.windows.empty()) return out;
    AppendU32(out, static_cast<uint32_t>(windowTemplate.windows.size() * 8));
    for (const WindowRecord& window : windowTemplate.windows) AppendU32(out, window.id);
    for (const WindowRecord& window : windowTemplate.windows) AppendU32(out, window.slotWord);
    for (const WindowRecord& window : windowTemplate.windows) {
        AppendU32(out, window.word1);
        AppendU32(out, window.word2);
        AppendCountedText(out, window.text1);
        AppendCountedText(out, window.text2);
        AppendU32(out, static_cast<uint32_t>(window.units.size()));
        AppendBlock(out, WriteUnitTable(window));
    }
    return out;
}

}  // namespace lyra
