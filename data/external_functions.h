// The program's external function table: library file name and export name
// per entry, bound at run time on first use.
#pragma once

#include <cstdint>

namespace lyra {

constexpr uint32_t kExternalFunctionCount = 12;

extern const char* const kExternalLibraryNames[kExternalFunctionCount];
extern const char* const kExternalFunctionNames[kExternalFunctionCount];

}  // namespace lyra
