// The thirteen runtime services and the seven runtime helpers: the only way
// the application code reaches the runtime.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/program_image.h"
#include "runtime/values.h"

namespace lyra {

struct ServiceTable {
    void (*ReportRuntimeError)(int code);
    intptr_t (*CallExternalFunction)(int index, int argCount, const intptr_t* args);
    ValueRecord (*CallLibraryCommand)(int library, CommandFunction command, int32_t count, ValueRecord* args);
    ValueRecord (*CallCoreCommand)(CommandFunction command, int32_t count, ValueRecord* args);
    uint64_t (*ReadProperty)(uint32_t windowId, uint32_t unitId, int32_t property, int32_t element);
    void (*WriteProperty)(uint32_t windowId, uint32_t unitId, int32_t property, int32_t element, uint64_t value);
    void* (*AllocMemory)(size_t n);
    void* (*ReallocMemory)(void* block, size_t n);
    void (*FreeMemory)(void* block);
    void (*ExitProgram)(int exitCode);
    void (*RunMessageLoop)();
    void (*LoadStartWindow)(uint32_t windowId);
    intptr_t (*RuntimeHelper)(int number, intptr_t a, intptr_t b, intptr_t c, intptr_t d, intptr_t e, intptr_t f);
};

extern const ServiceTable kServices;

enum RuntimeHelperNumber {
    kHelperSearchFiles = 0,
    kHelperEndFileSearch = 1,
    kHelperMakeArrayWritable = 2,
    kHelperSetExitHook = 3,
    kHelperReadObjectProperty = 4,
    kHelperWriteObjectProperty = 5,
    kHelperInitialiseProgram = 6,
};

// The runtime service functions themselves.
ValueRecord CallCoreCommand(CommandFunction command, int32_t count, ValueRecord* args);
ValueRecord CallLibraryCommand(int library, CommandFunction command, int32_t count, ValueRecord* args);
uint64_t ReadProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t element);
void WriteProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t element, uint64_t value);
void RunMessageLoop();
void LoadStartWindow(uint32_t windowId);
// Helper number's own words: at most six (helper 5 takes them all); the
// words a helper does not take are not read.
intptr_t RuntimeHelper(int number, intptr_t a, intptr_t b, intptr_t c, intptr_t d, intptr_t e, intptr_t f);

// External functions.
void* BindExternalFunction(int index);
intptr_t CallExternalFunction(int index, int argCount, const intptr_t* args);

// File search helpers.
char* SearchFiles(const char* pattern, uint32_t attributeMask, bool anyNonDirectory, intptr_t* searchHandle);
void EndFileSearch(intptr_t searchHandle);

}  // namespace lyra
