// The program image header of Lyrabox.
#include "commands/libraries.h"
#include "data/constants.h"
#include "data/external_functions.h"
#include "runtime/program_image.h"
#include "runtime/window_layer.h"

namespace lyra {

extern const RoutineTable kApplicationRoutineTable;

namespace {

const LibraryRecord* const kLibraryTable[4] = {
    &kCoreLibraryRecord,
    &kUiLibrary1Record,
    &kUiLibrary2Record,
    &kThreadLibraryRecord,
};

}  // namespace

const ProgramImageHeader kProgramImageHeader = {
    3,
    0,
    97969,
    &kApplicationRoutineTable,
    reinterpret_cast<const uint8_t*>(&kConstants),
    sizeof(ConstantSegment),
    nullptr,
    0,
    4,
    kLibraryTable,
    kExternalFunctionCount,
    kExternalLibraryNames,
    kExternalFunctionNames,
};

const WindowLayer* const kProgramWindowLayer = nullptr;

}  // namespace lyra
