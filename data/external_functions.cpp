#include "data/external_functions.h"

namespace lyra {

const char* const kExternalLibraryNames[kExternalFunctionCount] = {
    "wininet.dll", "wininet.dll", "wininet.dll", "wininet.dll", "wininet.dll", "wininet.dll",
    "wininet.dll", "wininet.dll", "ole32.dll",   "",            "ole32.dll",   "wininet.dll",
};

const char* const kExternalFunctionNames[kExternalFunctionCount] = {
    "InternetOpenA",    "InternetCloseHandle", "InternetConnectA", "HttpOpenRequestA",
    "HttpSendRequestA", "HttpSendRequestA",    "InternetReadFile", "HttpQueryInfoA",
    "CoInitialize",     "ShellExecuteExW",     "CoUninitialize",   "InternetSetOptionA",
};

}  // namespace lyra
