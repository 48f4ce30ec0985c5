// The program's external function table: library file name and export name
// per entry, bound at run time on first use. The application calls each
// operating-system function by its entry.
#pragma once

#include <array>
#include <cstdint>

namespace lyra {

enum ExternalFunction : int {
    kInternetOpenA,
    kInternetCloseHandle,
    kInternetConnectA,
    kHttpOpenRequestA,
    kHttpSendRequestA,
    kHttpSendRequestWithBodyA,  // the same export, declared a second time
    kInternetReadFile,
    kHttpQueryInfoA,
    kCoInitialize,
    kShellExecuteExW,
    kCoUninitialize,
    kInternetSetOptionA,
    kExternalFunctionCount
};

extern const std::array<const char*, kExternalFunctionCount> kExternalLibraryNames;
extern const std::array<const char*, kExternalFunctionCount> kExternalFunctionNames;

}  // namespace lyra
