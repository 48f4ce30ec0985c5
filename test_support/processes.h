// Programs under test started as child processes, and the folders they lie in.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace lyra::test {

// The folder holding path (a file, or a folder with or without its trailing
// backslash), with a trailing backslash.
std::wstring FolderOf(const std::wstring& path);
// The folder of the running program, with a trailing backslash.
std::wstring ProgramDirectory();

// A started program, ended (if still running) and let go of with the object.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { End(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // An empty workingDirectory keeps this program's.
    bool Start(const std::wstring& program, const std::wstring& arguments = std::wstring(),
               const std::wstring& workingDirectory = std::wstring());
    // True when the process ended within the time; exitCode() is then valid.
    bool WaitForExit(DWORD milliseconds);
    bool Ended() { return WaitForExit(0); }
    // Terminates the process if it still runs and lets go of it.
    void End();
    bool started() const { return info_.hProcess != nullptr; }
    DWORD exitCode() const { return exitCode_; }
    DWORD processId() const { return info_.dwProcessId; }
    HANDLE process() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_{};
    DWORD exitCode_ = STILL_ACTIVE;
};

// A test program started with a scenario name and the path of a log file it
// writes a line to at each step; the log goes with the object.
class ScenarioChild : public ChildProcess {
public:
    explicit ScenarioChild(const wchar_t* logPrefix);
    ~ScenarioChild();

    bool StartScenario(const std::wstring& program, const std::wstring& scenario,
                       const std::wstring& workingDirectory = std::wstring());
    std::vector<std::string> Log() const;

private:
    std::wstring log_;
};

}  // namespace lyra::test
