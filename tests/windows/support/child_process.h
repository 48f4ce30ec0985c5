// Starting a test program as a child process, finding its top-level windows
// and waiting for conditions with a deadline.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tools/ui_driver/driver.h"

namespace lyra::test {

// The folder of the running test program, with a trailing backslash.
std::wstring TestProgramDirectory();

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Start(const std::wstring& program, const std::wstring& arguments,
               const std::wstring& workingDirectory = std::wstring());
    // True when the process ended within the time; exitCode() is then valid.
    bool WaitForExit(DWORD milliseconds);
    DWORD exitCode() const { return exitCode_; }
    DWORD processId() const { return info_.dwProcessId; }
    HANDLE process() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_{};
    DWORD exitCode_ = STILL_ACTIVE;
};

// Polls until the condition holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds);

// A visible top-level window of the process with that class and caption, or null.
HWND FindProcessWindow(DWORD processId, const wchar_t* className, const std::wstring& caption);

// The texts of a dialog's static controls, joined by newlines.
std::wstring DialogStaticText(HWND dialog);

using driver::ReadFileBytes;
std::vector<std::string> ReadLines(const std::wstring& path);

std::wstring Utf8ToWide(const std::string& text);
std::wstring TempFilePath(const wchar_t* prefix);

}  // namespace lyra::test
