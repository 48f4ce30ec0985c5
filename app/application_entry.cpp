// The application entry routine and the routine table that the window
// template's event bindings index.
#include <float.h>

#include "app/routines.h"
#include "data/routine_indices.h"
#include "data/unit_ids.h"
#include "runtime/program_image.h"
#include "runtime/services.h"

namespace lyra {

namespace {

void ExitRoutine() {}

int StartupRoutine() { return 0; }

const ApplicationRoutine kRoutines[kApplicationRoutineCount] = {
    &app::StartUpdateThread,
    &app::ConfirmClose,
    &app::ClearPrompt,
    &app::RestorePrompt,
    &app::StartLookupOnEnter,
    &app::StartLookupThread,
    &app::ShowHelp,
    &app::ShowAbout,
    &app::SaveMusicLists,
    &app::CopyByHeaderBackground,
    &app::CopyMusicAddressBackground,
    &app::CopyByHeaderFavourite,
    &app::CopyMusicAddressFavourite,
};

}  // namespace

extern const RoutineTable kApplicationRoutineTable = {kApplicationRoutineCount, kRoutines};

int ApplicationEntry() {
    kServices.RuntimeHelper(kHelperInitialiseProgram, 0, 0, 0, 0, 0, 0);
    _fpreset();
    kServices.RuntimeHelper(kHelperSetExitHook, reinterpret_cast<intptr_t>(&ExitRoutine), 0, 0, 0, 0, 0);
    StartupRoutine();
    kServices.LoadStartWindow(units::kMainWindow);
    kServices.RunMessageLoop();
    return 0;
}

}  // namespace lyra
