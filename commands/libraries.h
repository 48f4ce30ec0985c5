// The four command libraries of the program, in library-table order, and
// the runtime request function each received at start-up.
#pragma once

#include "runtime/program_image.h"

namespace lyra {

enum LibraryIndex { kCoreLibrary = 0, kUiLibrary1 = 1, kUiLibrary2 = 2, kThreadLibrary = 3 };

extern const LibraryRecord kCoreLibraryRecord;
extern const LibraryRecord kUiLibrary1Record;
extern const LibraryRecord kUiLibrary2Record;
extern const LibraryRecord kThreadLibraryRecord;

// Null until the runtime has sent notify message 1.
RequestFunction CoreRequest();
RequestFunction UiLibrary1Request();
RequestFunction UiLibrary2Request();
RequestFunction ThreadLibraryRequest();

}  // namespace lyra
