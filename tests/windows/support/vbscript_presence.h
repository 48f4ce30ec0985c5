// Whether this test process runs with the VBScript library switched off
// (its WINEDLLOVERRIDES gives "vbscript" an empty value), and whether the
// VBScript.RegExp class can really be created here: a run meant to work
// without the class first checks that it is gone.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>

namespace lyra::test {

inline bool VBScriptSwitchedOff() {
    wchar_t buffer[2048];
    DWORD length = GetEnvironmentVariableW(L"WINEDLLOVERRIDES", buffer, 2048);
    if (length == 0 || length >= 2048) return false;
    std::wstring overrides(buffer, length);
    size_t begin = 0;
    while (begin <= overrides.size()) {
        size_t end = overrides.find(L';', begin);
        if (end == std::wstring::npos) end = overrides.size();
        std::wstring entry = overrides.substr(begin, end - begin);
        size_t equals = entry.find(L'=');
        if (equals != std::wstring::npos && equals + 1 == entry.size()) {
            std::wstring names = L"," + entry.substr(0, equals) + L",";
            if (names.find(L",vbscript,") != std::wstring::npos) return true;
        }
        begin = end + 1;
    }
    return false;
}

inline bool VBScriptRegExpCreatable() {
    HRESULT initialised = CoInitialize(nullptr);
    bool created = false;
    CLSID clsid;
    if (SUCCEEDED(CLSIDFromProgID(L"VBScript.RegExp", &clsid))) {
        IUnknown* object = nullptr;
        if (SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                       reinterpret_cast<void**>(&object))) &&
            object != nullptr) {
            created = true;
            object->Release();
        }
    }
    if (SUCCEEDED(initialised)) CoUninitialize();
    return created;
}

}  // namespace lyra::test
