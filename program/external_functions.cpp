#include "program/external_functions.h"

#include "runtime/numbered_table.h"

namespace lyra {

namespace {

struct ExternalEntry {
    const char* library;
    const char* exportName;
};

constexpr std::array<ExternalEntry, kExternalFunctionCount> kExternalFunctions =
    NumberedTable<ExternalEntry, kExternalFunctionCount>({
        {kInternetOpenA, {"wininet.dll", "InternetOpenA"}},
        {kInternetCloseHandle, {"wininet.dll", "InternetCloseHandle"}},
        {kInternetConnectA, {"wininet.dll", "InternetConnectA"}},
        {kHttpOpenRequestA, {"wininet.dll", "HttpOpenRequestA"}},
        {kHttpSendRequestA, {"wininet.dll", "HttpSendRequestA"}},
        {kHttpSendRequestWithBodyA, {"wininet.dll", "HttpSendRequestA"}},
        {kInternetReadFile, {"wininet.dll", "InternetReadFile"}},
        {kHttpQueryInfoA, {"wininet.dll", "HttpQueryInfoA"}},
        {kCoInitialize, {"ole32.dll", "CoInitialize"}},
        {kShellExecuteExW, {"", "ShellExecuteExW"}},
        {kCoUninitialize, {"ole32.dll", "CoUninitialize"}},
        {kInternetSetOptionA, {"wininet.dll", "InternetSetOptionA"}},
    });

template <const char* ExternalEntry::*field>
constexpr std::array<const char*, kExternalFunctionCount> Column() {
    std::array<const char*, kExternalFunctionCount> column{};
    for (size_t i = 0; i < kExternalFunctionCount; ++i) column[i] = kExternalFunctions[i].*field;
    return column;
}

}  // namespace

constexpr std::array<const char*, kExternalFunctionCount> kExternalLibraryNames = Column<&ExternalEntry::library>();
constexpr std::array<const char*, kExternalFunctionCount> kExternalFunctionNames = Column<&ExternalEntry::exportName>();

}  // namespace lyra
