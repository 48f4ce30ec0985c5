#include "tests/windows/support/child_process.h"

#include <fstream>
#include <sstream>

namespace lyra::test {

std::wstring TestProgramDirectory() {
    wchar_t buffer[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring path(buffer, length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

ChildProcess::~ChildProcess() {
    if (info_.hProcess != nullptr) {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
        CloseHandle(info_.hProcess);
    }
    if (info_.hThread != nullptr) CloseHandle(info_.hThread);
}

bool ChildProcess::Start(const std::wstring& program, const std::wstring& arguments,
                         const std::wstring& workingDirectory) {
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
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

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > milliseconds) return false;
        Sleep(20);
    }
}

namespace {
struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    wchar_t className[64];
    GetClassNameW(window, className, 64);
    if (std::wstring(className) != search->className) return TRUE;
    wchar_t caption[256];
    int length = GetWindowTextW(window, caption, 256);
    if (std::wstring(caption, length) != *search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK CollectStatic(HWND window, LPARAM context) {
    auto* text = reinterpret_cast<std::wstring*>(context);
    wchar_t className[64];
    GetClassNameW(window, className, 64);
    if (lstrcmpiW(className, L"Static") != 0) return TRUE;
    wchar_t buffer[2048];
    LRESULT length = SendMessageW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer));
    if (length > 0) {
        if (!text->empty()) *text += L"\n";
        text->append(buffer, static_cast<size_t>(length));
    }
    return TRUE;
}
}  // namespace

HWND FindProcessWindow(DWORD processId, const wchar_t* className, const std::wstring& caption) {
    WindowSearch search{processId, className, &caption, nullptr};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring DialogStaticText(HWND dialog) {
    std::wstring text;
    EnumChildWindows(dialog, &CollectStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::istringstream stream(ReadFileBytes(path));
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::wstring Utf8ToWide(const std::string& text) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

std::wstring TempFilePath(const wchar_t* prefix) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    wchar_t path[MAX_PATH];
    GetTempFileNameW(folder, prefix, 0, path);
    return path;
}

}  // namespace lyra::test
