// The program image header and the records it points to: library records,
// data-type records, the external function table and the routine table.
//
// The on-disk layouts are 32-bit; here every word that holds a pointer is
// pointer-sized, so on a 32-bit build the records have their original sizes
// and offsets (checked below).
#pragma once

#include <cstddef>
#include <cstdint>

namespace lyra {

// Runtime request function handed to every library with notify message 1.
using RequestFunction = intptr_t (*)(int code, intptr_t param1, intptr_t param2);
// A library's notify function.
using NotifyFunction = intptr_t (*)(int message, intptr_t param1, intptr_t param2);

struct ValueRecord;
// Every command: (result record, argument count, first argument record).
using CommandFunction = void (*)(ValueRecord* result, int32_t count, ValueRecord* args);

// An application subroutine as the runtime calls it for an event: arguments
// as machine words, first argument first. Answers true when it returns a
// value, which it stores through result.
using ApplicationRoutine = bool (*)(const int64_t* args, int argCount, int64_t* result);

// What the header's codeBase points at: the application's routines. A
// template routine word is an index into it.
struct RoutineTable {
    uint32_t count;
    const ApplicationRoutine* routines;
};

// A property description of a data type (20 bytes on 32-bit builds).
struct PropertyDescription {
    const char* name;
    const char* englishName;
    const char* description;
    uint16_t valueKind;
    uint16_t flags;
    const char* choices;
};

// Returns the type's operation number op (1 create, 4 property changed,
// 5 get all property data, 6 get property, 9 key filter), or null.
using GetInterfaceFunction = void* (*)(int op);

enum DataTypeFlags : uint32_t {
    kTypeRaisesEvents = 0x40,
    kTypeRaisesEventsOld = 0x04,
    kTypePagedContainer = 0x100,
    kTypeNeverShown = 0x8000,
    kTypeIsComObject = 0x01000000,
};

// A data-type record (56 bytes on 32-bit builds); stateFlags at offset 20.
struct DataTypeRecord {
    const char* name;
    const char* englishName;
    const char* description;
    uint32_t reserved0;
    uint32_t reserved1;
    uint32_t stateFlags;
    GetInterfaceFunction getInterface;
    uint32_t eventCount;
    const void* events;
    uint32_t propertyCount;
    const PropertyDescription* properties;
    uint32_t reserved2;
    uint32_t reserved3;
    uint32_t reserved4;
};

constexpr uint32_t kLibrarySignature = 0x01312D65;

// A command library record (144 bytes on 32-bit builds).
struct LibraryRecord {
    uint32_t signature;
    const char* identity;
    uint32_t versionWords[7];
    const char* displayName;
    uint32_t one;
    uint32_t zero;
    uint32_t libraryFlags;
    uint32_t reserved0[8];
    uint32_t dataTypeCount;
    const DataTypeRecord* dataTypes;
    uint32_t reserved1[2];
    uint32_t commandCount;
    uint32_t reserved2;
    const CommandFunction* commandTable;
    uint32_t reserved3[2];
    NotifyFunction notify;
    uint32_t reserved4[5];
};

struct ProgramImageHeader {
    uint32_t programKind;
    uint32_t headerReserved;
    uint32_t buildSerial;
    const RoutineTable* codeBase;
    const uint8_t* constantSegment;
    uint32_t constantSegmentSize;
    const uint8_t* windowTemplate;
    uint32_t windowTemplateSize;
    uint32_t libraryCount;
    const LibraryRecord* const* libraryTable;
    uint32_t externalFunctionCount;
    const char* const* externalLibraryNames;
    const char* const* externalFunctionNames;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(ProgramImageHeader) == 13 * 4, "header is 13 words");
static_assert(sizeof(LibraryRecord) == 144, "library record is 144 bytes");
static_assert(offsetof(LibraryRecord, dataTypeCount) == 0x54, "dataTypeCount at 0x54");
static_assert(offsetof(LibraryRecord, commandCount) == 0x64, "commandCount at 0x64");
static_assert(offsetof(LibraryRecord, notify) == 0x78, "notify at 0x78");
static_assert(sizeof(DataTypeRecord) == 56, "data-type record is 56 bytes");
static_assert(offsetof(DataTypeRecord, stateFlags) == 20, "flags at 20");
static_assert(sizeof(PropertyDescription) == 20, "property description is 20 bytes");
#endif

// Supplied by the program that links the runtime (the application, or a test program).
extern const ProgramImageHeader kProgramImageHeader;
// The application entry routine: called by the runtime once the framework is up.
int ApplicationEntry();

}  // namespace lyra
