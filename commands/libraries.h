// The four command libraries of the program, in library-table order, and
// the runtime request function each received at start-up.
#pragma once

#include <array>

#include "runtime/program_image.h"

namespace lyra {

enum LibraryIndex : int { kCoreLibrary, kUiLibrary1, kUiLibrary2, kThreadLibrary, kLibraryCount };

extern const LibraryRecord kCoreLibraryRecord;
extern const LibraryRecord kUiLibrary1Record;
extern const LibraryRecord kUiLibrary2Record;
extern const LibraryRecord kThreadLibraryRecord;

// The program image's library table, by LibraryIndex.
extern const std::array<const LibraryRecord*, kLibraryCount> kLibraryTable;

// Null until the runtime has sent notify message 1.
RequestFunction CoreRequest();
RequestFunction UiLibrary1Request();
RequestFunction UiLibrary2Request();
RequestFunction ThreadLibraryRequest();

}  // namespace lyra
