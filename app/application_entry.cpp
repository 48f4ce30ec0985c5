// The application entry routine and the routine table that the window
// template's event bindings index.
#include <float.h>

#include <array>

#include "app/routines.h"
#include "data/routine_indices.h"
#include "data/unit_ids.h"
#include "runtime/numbered_table.h"
#include "runtime/program_image.h"
#include "runtime/services.h"

namespace lyra {

namespace {

void ExitRoutine() {}

int StartupRoutine() { return 0; }

constexpr std::array<ApplicationRoutine, kApplicationRoutineCount> kRoutines =
    NumberedTable<ApplicationRoutine, kApplicationRoutineCount>({
        {kRoutineStartUpdateThread, &app::StartUpdateThread},
        {kRoutineConfirmClose, &app::ConfirmClose},
        {kRoutineClearPrompt, &app::ClearPrompt},
        {kRoutineRestorePrompt, &app::RestorePrompt},
        {kRoutineStartLookupOnEnter, &app::StartLookupOnEnter},
        {kRoutineStartLookupThread, &app::StartLookupThread},
        {kRoutineShowHelp, &app::ShowHelp},
        {kRoutineShowAbout, &app::ShowAbout},
        {kRoutineSaveMusicLists, &app::SaveMusicLists},
        {kRoutineCopyByHeaderBackground, &app::CopyByHeaderBackground},
        {kRoutineCopyMusicAddressBackground, &app::CopyMusicAddressBackground},
        {kRoutineCopyByHeaderFavourite, &app::CopyByHeaderFavourite},
        {kRoutineCopyMusicAddressFavourite, &app::CopyMusicAddressFavourite},
    });

}  // namespace

extern const RoutineTable kApplicationRoutineTable = {kApplicationRoutineCount, kRoutines.data()};

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
