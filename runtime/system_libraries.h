// Libraries of the system, loaded from the system folder only. People run
// the program from a Downloads folder, where a page can leave a file named
// like a system library; Windows would take that copy first for any name
// that is not a KnownDLL. So the executable imports KnownDLLs only, the
// search is limited to the system folder before anything else loads, and
// every other system library comes through here.
#pragma once

#include <windows.h>

#include <string>

namespace lyra {

// Run first in the process entry: afterwards a library loaded by bare name
// (by the program, or by a system library for itself) comes from the system
// folder only. Where the system lacks SetDefaultDllDirectories (Windows 7
// without its update), the current directory leaves the search and the
// loads below use full system-folder paths.
void RestrictLibrarySearch();

// The system folder, without a trailing backslash.
const std::wstring& SystemFolder();

// True when the system folder holds a file of that name.
bool InSystemFolder(const std::wstring& name);

// Loads the library at a full path; what it imports in turn is looked for in
// its own folder and the system folder.
HMODULE LoadLibraryAt(const std::wstring& path);

// Loads a library of the system folder by file name (L"winmm.dll"); null when
// it is not there.
HMODULE LoadSystemLibrary(const wchar_t* name);

// An export of a system library, or null. The library stays loaded for the
// life of the process; keep the answer in a function-local static:
//     static const auto playSound = SystemFunction<decltype(&PlaySoundW)>(L"winmm.dll", "PlaySoundW");
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = LoadSystemLibrary(library);
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace lyra
