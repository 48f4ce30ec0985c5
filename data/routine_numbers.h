// Indices of the application's routines in its routine table: the routine
// words of the window template's event bindings.
#pragma once

namespace lyra {

enum RoutineNumber : unsigned {
    kRoutineStartUpdateThread = 0,
    kRoutineConfirmClose = 1,
    kRoutineClearPrompt = 2,
    kRoutineRestorePrompt = 3,
    kRoutineStartLookupOnEnter = 4,
    kRoutineStartLookupThread = 5,
    kRoutineShowHelp = 6,
    kRoutineShowAbout = 7,
    kRoutineSaveMusicLists = 8,
    kRoutineCopyByHeaderBackground = 9,
    kRoutineCopyMusicAddressBackground = 10,
    kRoutineCopyByHeaderFavourite = 11,
    kRoutineCopyMusicAddressFavourite = 12,
    kRoutineCount = 13,
};

}  // namespace lyra
