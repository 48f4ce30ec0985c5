#include "test_support/processes.h"

#include "test_support/text_files.h"

namespace lyra::test {

std::wstring FolderOf(const std::wstring& path) {
    const size_t end = path.empty() || path.back() != L'\\' ? path.size() : path.size() - 1;
    const size_t separator = path.find_last_of(L'\\', end == 0 ? 0 : end - 1);
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

std::wstring ProgramDirectory() {
    wchar_t buffer[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return FolderOf(std::wstring(buffer, length));
}

bool ChildProcess::Start(const std::wstring& program, const std::wstring& arguments,
                         const std::wstring& workingDirectory) {
    End();
    exitCode_ = STILL_ACTIVE;
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &info_) != 0;
}

bool ChildProcess::WaitForExit(DWORD milliseconds) {
    if (info_.hProcess == nullptr) return false;
    if (WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(info_.hProcess, &exitCode_);
    return true;
}

void ChildProcess::End() {
    if (info_.hProcess != nullptr) {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
        CloseHandle(info_.hProcess);
    }
    if (info_.hThread != nullptr) CloseHandle(info_.hThread);
    info_ = PROCESS_INFORMATION{};
}

ScenarioChild::ScenarioChild(const wchar_t* logPrefix) : log_(TempFilePath(logPrefix)) { DeleteFileW(log_.c_str()); }

ScenarioChild::~ScenarioChild() {
    End();
    DeleteFileW(log_.c_str());
}

bool ScenarioChild::StartScenario(const std::wstring& program, const std::wstring& scenario,
                                  const std::wstring& workingDirectory) {
    return Start(program, scenario + L" \"" + log_ + L"\"", workingDirectory);
}

std::vector<std::string> ScenarioChild::Log() const { return ReadLines(log_); }

}  // namespace lyra::test
