// The application's routine table, by index: the routine words of the
// window template's event bindings name these entries.
#pragma once

#include <cstdint>

namespace lyra {

enum ApplicationRoutineIndex : uint32_t {
    kRoutineStartUpdateThread = 0,
    kRoutineConfirmClose,
    kRoutineClearPrompt,
    kRoutineRestorePrompt,
    kRoutineStartLookupOnEnter,
    kRoutineStartLookupThread,
    kRoutineShowHelp,
    kRoutineShowAbout,
    kRoutineSaveMusicLists,
    kRoutineCopyByHeaderBackground,
    kRoutineCopyMusicAddressBackground,
    kRoutineCopyByHeaderFavourite,
    kRoutineCopyMusicAddressFavourite,
    kApplicationRoutineCount
};

}  // namespace lyra
