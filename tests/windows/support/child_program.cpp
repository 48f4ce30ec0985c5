#include "tests/windows/support/child_program.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <mutex>

namespace lyra::test {

namespace {

std::wstring gScenario;
std::wstring gLogPath;
std::mutex gLogMutex;

}  // namespace

bool ReadChildArguments() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr) return false;
    bool complete = argc >= 3;
    if (complete) {
        gScenario = argv[1];
        gLogPath = argv[2];
    }
    LocalFree(argv);
    return complete;
}

const std::wstring& ChildScenario() { return gScenario; }

bool IsScenario(const wchar_t* name) { return gScenario == name; }

void Log(const std::string& line) {
    std::lock_guard<std::mutex> lock(gLogMutex);
    FILE* file = _wfopen(gLogPath.c_str(), L"ab");
    if (file == nullptr) return;
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

}  // namespace lyra::test
