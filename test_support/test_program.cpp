#include "test_support/test_program.h"

#include "commands/libraries.h"
#include "program/external_functions.h"
#include "runtime/program_image.h"
#include "runtime/services.h"
#include "runtime/window_layer.h"

namespace lyra {

namespace {

const RoutineTable kNoRoutines = {0, nullptr};

}  // namespace

const ProgramImageHeader kProgramImageHeader = {
    3, 0, 1, &kNoRoutines, nullptr, 0, nullptr, 0, kLibraryCount, kLibraryTable.data(), kExternalFunctionCount,
    kExternalLibraryNames.data(), kExternalFunctionNames.data(),
};

const WindowLayer* const kProgramWindowLayer = nullptr;

int ApplicationEntry() { return 0; }

}  // namespace lyra

namespace lyra::test {

void InitialiseTestProgram() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    kServices.RuntimeHelper(kHelperInitialiseProgram, 0, 0, 0, 0, 0, 0);
}

}  // namespace lyra::test
