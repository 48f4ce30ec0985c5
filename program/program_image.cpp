// The program image header of Lyrabox.
#include "commands/libraries.h"
#include "program/constants.h"
#include "program/external_functions.h"
#include "runtime/program_image.h"
#include "runtime/window_layer.h"
#include "window_units/window_units.h"

namespace lyra {

extern const RoutineTable kApplicationRoutineTable;
// The binary window template, compiled from data/window_template.cpp.
extern const uint8_t kProgramWindowTemplate[];
extern const uint32_t kProgramWindowTemplateSize;

const ProgramImageHeader kProgramImageHeader = {
    3,
    0,
    97969,
    &kApplicationRoutineTable,
    reinterpret_cast<const uint8_t*>(&kConstants),
    sizeof(ConstantSegment),
    kProgramWindowTemplate,
    kProgramWindowTemplateSize,
    kLibraryCount,
    kLibraryTable.data(),
    kExternalFunctionCount,
    kExternalLibraryNames.data(),
    kExternalFunctionNames.data(),
};

const WindowLayer* const kProgramWindowLayer = &kWindowUnitsLayer;

}  // namespace lyra
