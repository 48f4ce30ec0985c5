// External functions: bound on first use by library file name and export
// name, then called through the cached address.
#include "runtime/external.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/checked_call.h"
#include "runtime/errors.h"
#include "runtime/gbk.h"
#include "runtime/runtime_state.h"
#include "runtime/services.h"
#include "runtime/system_libraries.h"

namespace lyra {

const char* const kDefaultExternalLibraries[6] = {
    "Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll", "Shell32.dll",
};

namespace {

bool IsFullPath(const std::wstring& path) {
    return path.find(L':') != std::wstring::npos || path.compare(0, 2, L"\\\\") == 0;
}

void* SystemLoad(const wchar_t* path) {
    if (IsFullPath(path)) return LoadLibraryAt(path);
    return LoadLibraryW(path);
}
void* SystemFind(void* module, const char* key) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), key));
}
void SystemRelease(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

const ExternalLoader kSystemLoader = {&SystemLoad, &SystemFind, &SystemRelease};
std::atomic<const ExternalLoader*> gLoader{&kSystemLoader};

// The export to look up: the name itself, or for "#digits" the ordinal in
// its low 16 bits.
const char* ExportKey(const char* name) {
    if (name != nullptr && name[0] == '#') {
        unsigned long ordinal = std::strtoul(name + 1, nullptr, 10);
        return MAKEINTRESOURCEA(static_cast<WORD>(ordinal & 0xFFFF));
    }
    return name;
}

bool IsEmptyText(const char* text) { return text == nullptr || text[0] == 0; }

// A library of the system's own is taken from the system folder and nowhere
// else; any other name is looked for beside the program first (a program may
// ship its own library), then beside the module, then in the system's search.
void* LoadNamedLibrary(const ExternalLoader& loader, const char* library) {
    std::wstring name = GbkToWide(library);
    if (std::strchr(library, ':') != nullptr) return loader.load(name.c_str());
    if (InSystemFolder(name)) return loader.load((SystemFolder() + L"\\" + name).c_str());
    RuntimeState& runtime = Runtime();
    void* module = nullptr;
    if (!runtime.programDirectoryWide.empty()) module = loader.load((runtime.programDirectoryWide + L"\\" + name).c_str());
    if (module == nullptr && !runtime.moduleDirectory.empty()) {
        module = loader.load(GbkToWide((runtime.moduleDirectory + library).c_str()).c_str());
    }
    if (module == nullptr) module = loader.load(name.c_str());
    return module;
}

[[noreturn]] void ReportMissingExport(const char* library, const char* name) {
    std::string export_name = name != nullptr ? name : "";
    std::string message;
    if (IsEmptyText(library)) {
        message = "无法找到指定DLL库文件中的输出命令“" + export_name + "”";
    } else {
        message = std::string("无法找到指定DLL库文件“") + library + "”中的输出命令“" + export_name + "”";
    }
    ReportError(message.c_str(), 0);
}

}  // namespace

const ExternalLoader& SystemExternalLoader() { return kSystemLoader; }

void SetExternalLoader(const ExternalLoader* loader) { gLoader.store(loader != nullptr ? loader : &kSystemLoader); }

void SetUpExternalFunctions(uint32_t count, const char* const* libraryNames, const char* const* functionNames) {
    RuntimeState& runtime = Runtime();
    runtime.externalCount = 0;
    runtime.externalLibraryNames.reset(new const char*[count]);
    runtime.externalFunctionNames.reset(new const char*[count]);
    runtime.externalModules.reset(new std::atomic<void*>[count]);
    runtime.externalAddresses.reset(new std::atomic<void*>[count]);
    for (uint32_t i = 0; i < count; ++i) {
        runtime.externalLibraryNames[i] = libraryNames[i];
        runtime.externalFunctionNames[i] = functionNames[i];
        runtime.externalModules[i].store(nullptr);
        runtime.externalAddresses[i].store(nullptr);
    }
    runtime.externalCount = count;
}

void* BindExternalFunction(int index) {
    RuntimeState& runtime = Runtime();
    if (index < 0 || static_cast<uint32_t>(index) >= runtime.externalCount) ReportMissingExport(nullptr, "");
    if (void* cached = runtime.externalAddresses[index].load()) return cached;

    const ExternalLoader& loader = *gLoader.load();
    const char* library = runtime.externalLibraryNames[index];
    const char* name = runtime.externalFunctionNames[index];
    const char* key = ExportKey(name);
    void* module = nullptr;
    void* address = nullptr;

    if (IsEmptyText(library)) {
        for (const char* candidate : kDefaultExternalLibraries) {
            std::wstring name = GbkToWide(candidate);
            if (!InSystemFolder(name)) continue;
            void* loaded = loader.load((SystemFolder() + L"\\" + name).c_str());
            if (loaded == nullptr) continue;
            address = loader.find(loaded, key);
            if (address != nullptr) {
                module = loaded;
                break;
            }
            loader.release(loaded);
        }
    } else {
        module = LoadNamedLibrary(loader, library);
        if (module != nullptr) address = loader.find(module, key);
    }

    if (address == nullptr) {
        if (module != nullptr) loader.release(module);
        ReportMissingExport(library, name);
    }
    runtime.externalModules[index].store(module);
    runtime.externalAddresses[index].store(address);
    return address;
}

intptr_t CallExternalFunction(int index, int argCount, const intptr_t* args) {
    void* address = BindExternalFunction(index);
    return CallCheckedOrFail(address, argCount, args);
}

}  // namespace lyra
