#include "runtime/runtime_state.h"

#include "runtime/values.h"

namespace lyra {

RuntimeState& Runtime() {
    static RuntimeState state;
    return state;
}

const DataTypeRecord* DataTypeRecordOf(uint32_t typeCode) {
    if (ClassOfType(typeCode) != TypeClass::Library) return nullptr;
    const auto& libraries = Runtime().libraries;
    uint32_t libraryNumber = typeCode >> 16;
    uint32_t typeNumber = typeCode & 0xFFFF;
    if (libraryNumber < 1 || libraryNumber > libraries.size()) return nullptr;
    const LibraryRecord* library = libraries[libraryNumber - 1];
    if (library == nullptr || library->dataTypes == nullptr) return nullptr;
    if (typeNumber < 1 || typeNumber > library->dataTypeCount) return nullptr;
    return &library->dataTypes[typeNumber - 1];
}

void RaiseEventSuspension() { Runtime().eventSuspension.fetch_add(1); }

void LowerEventSuspension() {
    auto& counter = Runtime().eventSuspension;
    int current = counter.load();
    while (current > 0 && !counter.compare_exchange_weak(current, current - 1)) {
    }
}

bool EventsSuspended() { return Runtime().eventSuspension.load() > 0; }

}  // namespace lyra
