// External functions: the four per-entry arrays of the runtime state are
// filled from the program image at start-up and bound on first use; the
// modules they hold stay loaded until the process ends, since a worker may
// be inside one while the main thread shuts down. BindExternalFunction and
// CallExternalFunction themselves are runtime services (runtime/services.h).
#pragma once

#include <cstdint>

#include "runtime/checked_call.h"

namespace lyra {

// The libraries searched, in this order, for an entry that names none; each
// is taken from the system folder only, and skipped when that folder does
// not hold it.
extern const char* const kDefaultExternalLibraries[6];

// Sizes the four arrays to count, unbound, and keeps the two name tables'
// entries (the names themselves stay the caller's).
void SetUpExternalFunctions(uint32_t count, const char* const* libraryNames, const char* const* functionNames);

// How binding reaches the system's loader. load takes a full path, or a bare
// name for the system's own search; key is an export name, or an ordinal in
// the low 16 bits of a pointer.
struct ExternalLoader {
    void* (*load)(const wchar_t* path);
    void* (*find)(void* module, const char* key);
    void (*release)(void* module);
};

// The system loader (LoadLibrary, GetProcAddress, FreeLibrary).
const ExternalLoader& SystemExternalLoader();
// Test hook: binding goes through loader until this is called again with null.
void SetExternalLoader(const ExternalLoader* loader);

}  // namespace lyra
