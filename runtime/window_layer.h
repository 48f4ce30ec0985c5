// The runtime's view of the window units. The runtime sits below them, so
// it reaches them only through this table, which the program links in
// (kProgramWindowLayer; null for a program without windows).
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/program_image.h"

namespace lyra {

struct WindowLayer {
    // Reads the binary template into the loaded template and relocates its
    // routine words. Throws framework::ArchiveError on unreadable data.
    void (*LoadTemplate)(const uint8_t* data, size_t size, const RoutineTable* routines);
    // Destroys the live windows; the template's records and component objects
    // stay until the process ends, for workers that may still hold one.
    void (*ReleaseTemplate)();
    // Builds the window of that id, or brings it forward when it exists; false
    // when the template has no such window or it cannot be built.
    bool (*LoadWindow)(uint32_t windowId);
    // True while at least one window of the template exists.
    bool (*AnyWindowExists)();
    // Raises idle event 7 on every created window not yet declined; true
    // when one of them wants more idle time. elapsed is in milliseconds.
    bool (*RaiseIdleEvents)(uint32_t elapsed, bool newPeriod);
    // Window-related requests; sets *handled when the code is one of its own.
    intptr_t (*Request)(int code, intptr_t param1, intptr_t param2, bool* handled);
    uint64_t (*ReadProperty)(uint32_t windowId, uint32_t unitId, int32_t property, int32_t element);
    void (*WriteProperty)(uint32_t windowId, uint32_t unitId, int32_t property, int32_t element, uint64_t value);
    // Helpers 4 and 5: the own properties of an object of a library data type.
    uint64_t (*ReadObjectProperty)(uint32_t typeCode, void* object, int32_t property, int32_t element);
    void (*WriteObjectProperty)(uint32_t typeCode, void* object, int32_t property, int32_t element, uint64_t value);
};

extern const WindowLayer* const kProgramWindowLayer;

}  // namespace lyra
