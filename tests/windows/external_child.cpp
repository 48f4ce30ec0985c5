// A program on the runtime whose external function table names missing
// libraries and exports. The argument is the entry to call; the exit code
// is what the call returned.
#include <windows.h>

#include <cstdlib>

#include "runtime/program_image.h"
#include "runtime/services.h"
#include "runtime/window_layer.h"

namespace lyra {

namespace {

const uint8_t kConstantBytes[4] = {};
const RoutineTable kNoRoutines = {0, nullptr};

const char* const kLibraries[5] = {"bind_probe.dll", "", "bind_probe.dll", "no_such_library.dll", "bind_probe.dll"};
const char* const kFunctions[5] = {"NoSuchExport", "NoSuchExport", "#99", "Anything", "WhichCopy"};

}  // namespace

const ProgramImageHeader kProgramImageHeader = {
    3, 0, 1, &kNoRoutines, kConstantBytes, sizeof kConstantBytes, nullptr, 0, 0, nullptr, 5, kLibraries, kFunctions,
};
const WindowLayer* const kProgramWindowLayer = nullptr;

int ApplicationEntry() {
    kServices.RuntimeHelper(kHelperInitialiseProgram, 0, 0, 0, 0, 0, 0);
    int entry = __argc > 1 ? std::atoi(__argv[1]) : -1;
    intptr_t result = kServices.CallExternalFunction(entry, 0, nullptr);
    kServices.ExitProgram(static_cast<int>(result));
    return 0;
}

}  // namespace lyra
