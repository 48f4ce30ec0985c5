// The application entry routine and the routine table that the window
// template's event bindings index.
#include <float.h>

#include "app/services.h"
#include "data/routine_indices.h"
#include "runtime/program_image.h"

namespace lyra {

namespace {

constexpr uint32_t kStartWindowId = 0x52010001;

void ExitRoutine() {}

int StartupRoutine() { return 0; }

// Stand-ins until the routines exist: a null entry is an unbound event.
const ApplicationRoutine kApplicationRoutines[kApplicationRoutineCount] = {};

}  // namespace

extern const RoutineTable kApplicationRoutineTable = {kApplicationRoutineCount, kApplicationRoutines};

int ApplicationEntry() {
    const ServiceTable& services = app::Services();
    services.RuntimeHelper(kHelperInitialiseProgram, 0, 0, 0, 0, 0);
    _fpreset();
    services.RuntimeHelper(kHelperSetExitHook, reinterpret_cast<intptr_t>(&ExitRoutine), 0, 0, 0, 0);
    StartupRoutine();
    services.LoadStartWindow(kStartWindowId);
    services.RunMessageLoop();
    return 0;
}

}  // namespace lyra
