#include "runtime/system_libraries.h"

namespace lyra {

namespace {

// The loader's LOAD_LIBRARY_SEARCH_* flags come with SetDefaultDllDirectories.
bool SearchFlagsSupported() {
    static const bool supported =
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories") != nullptr;
    return supported;
}

// A name the program's manifest redirects (Common Controls 6) is found
// through side by side, before any folder is searched.
bool RedirectedByManifest(const wchar_t* name) {
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof data;
    return FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, name, &data) != FALSE;
}

}  // namespace

void RestrictLibrarySearch() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories == nullptr || !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        SetDllDirectoryW(L"");
    }
}

const std::wstring& SystemFolder() {
    static const std::wstring folder = [] {
        std::wstring path(MAX_PATH, L'\0');
        UINT length = GetSystemDirectoryW(&path[0], static_cast<UINT>(path.size()));
        if (length >= path.size()) {
            path.resize(length);
            length = GetSystemDirectoryW(&path[0], static_cast<UINT>(path.size()));
        }
        path.resize(length < path.size() ? length : 0);
        if (!path.empty() && path.back() == L'\\') path.pop_back();
        return path;
    }();
    return folder;
}

bool InSystemFolder(const std::wstring& name) {
    if (name.empty() || SystemFolder().empty()) return false;
    DWORD attributes = GetFileAttributesW((SystemFolder() + L"\\" + name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

HMODULE LoadLibraryAt(const std::wstring& path) {
    if (SearchFlagsSupported()) {
        return LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (SearchFlagsSupported()) return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (RedirectedByManifest(name)) return LoadLibraryW(name);
    if (SystemFolder().empty()) return nullptr;
    return LoadLibraryAt(SystemFolder() + L"\\" + name);
}

}  // namespace lyra
