// A harmless browser for the tests' Wine prefix.
#pragma once

#include <windows.h>

#include <string>

namespace lyra::test {

// While it lives, the shell "opens" web addresses by writing them into a
// file: what the program asked the shell to open, and no browser started.
class RecordingWebOpener {
public:
    explicit RecordingWebOpener(const std::wstring& record) {
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr);
        if (key_ == nullptr) return;
        wchar_t old[1024] = L"";
        DWORD size = sizeof old;
        if (RegQueryValueExW(key_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS) {
            saved_ = old;
            hadValue_ = true;
        }
        std::wstring command = L"cmd.exe /c echo %1> \"" + record + L"\"";
        Set(command);
    }
    ~RecordingWebOpener() {
        if (key_ == nullptr) return;
        if (hadValue_) Set(saved_);
        else RegDeleteValueW(key_, nullptr);
        RegCloseKey(key_);
    }
    RecordingWebOpener(const RecordingWebOpener&) = delete;
    RecordingWebOpener& operator=(const RecordingWebOpener&) = delete;
    bool ok() const { return key_ != nullptr; }

private:
    static constexpr const wchar_t* kKey = L"Software\\Classes\\http\\shell\\open\\command";
    void Set(const std::wstring& value) {
        RegSetValueExW(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    HKEY key_ = nullptr;
    std::wstring saved_;
    bool hadValue_ = false;
};

}  // namespace lyra::test
