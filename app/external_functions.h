// Indices of the program's external function table (data/external_functions.cpp):
// the application calls each operating-system function by its entry.
#pragma once

namespace lyra::app {

enum ExternalFunction : int {
    kInternetOpenA = 0,
    kInternetCloseHandle = 1,
    kInternetConnectA = 2,
    kHttpOpenRequestA = 3,
    kHttpSendRequestA = 4,
    kHttpSendRequestWithBodyA = 5,  // the same export, declared a second time
    kInternetReadFile = 6,
    kHttpQueryInfoA = 7,
    kCoInitialize = 8,
    kShellExecuteExW = 9,
    kCoUninitialize = 10,
    kInternetSetOptionA = 11,
};

}  // namespace lyra::app
