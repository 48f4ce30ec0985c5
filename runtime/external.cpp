// External functions: bound on first use by library file name and export
// name, then called through the cached address.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/errors.h"
#include "runtime/gbk.h"
#include "runtime/runtime_state.h"
#include "runtime/services.h"

namespace lyra {

namespace {

const char* const kDefaultLibraries[] = {
    "Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll", "Shell32.dll",
};

HMODULE LoadLibraryGbk(const std::string& name) { return LoadLibraryW(GbkToWide(name.c_str()).c_str()); }

// The export to look up: a name, or an ordinal for "#digits" (low 16 bits).
LPCSTR ExportKey(const char* name) {
    if (name != nullptr && name[0] == '#') {
        unsigned long ordinal = std::strtoul(name + 1, nullptr, 10);
        return MAKEINTRESOURCEA(static_cast<WORD>(ordinal & 0xFFFF));
    }
    return name;
}

[[noreturn]] void ReportMissingExport(const char* library, const char* name) {
    std::string message;
    if (library == nullptr || library[0] == 0) {
        message = std::string("无法找到指定DLL库文件中的输出命令“") + (name ? name : "") + "”";
    } else {
        message = std::string("无法找到指定DLL库文件“") + library + "”中的输出命令“" + (name ? name : "") + "”";
    }
    ReportError(message.c_str(), 0);
}

}  // namespace

void* BindExternalFunction(int index) {
    RuntimeState& runtime = Runtime();
    if (index < 0 || static_cast<uint32_t>(index) >= runtime.externalCount) ReportMissingExport(nullptr, "");
    if (void* cached = runtime.externalAddresses[index].load()) return cached;

    const char* library = runtime.externalLibraryNames[index];
    const char* name = runtime.externalFunctionNames[index];
    LPCSTR key = ExportKey(name);
    HMODULE module = nullptr;
    void* address = nullptr;

    if (library == nullptr || library[0] == 0) {
        for (const char* candidate : kDefaultLibraries) {
            HMODULE loaded = LoadLibraryGbk(candidate);
            if (loaded == nullptr) continue;
            address = reinterpret_cast<void*>(GetProcAddress(loaded, key));
            if (address != nullptr) {
                module = loaded;
                break;
            }
            FreeLibrary(loaded);
        }
    } else {
        if (std::strchr(library, ':') == nullptr) {
            module = LoadLibraryGbk(runtime.programDirectory + "\\" + library);
            if (module == nullptr && !runtime.moduleDirectory.empty()) {
                module = LoadLibraryGbk(runtime.moduleDirectory + library);
            }
        }
        if (module == nullptr) module = LoadLibraryGbk(library);
        if (module != nullptr) address = reinterpret_cast<void*>(GetProcAddress(module, key));
    }

    if (address == nullptr) {
        if (module != nullptr) FreeLibrary(module);
        ReportMissingExport(library, name);
    }
    runtime.externalModules[index].store(module);
    runtime.externalAddresses[index].store(address);
    return address;
}

intptr_t CallExternalFunction(int index, int argCount, const intptr_t* args) {
    void* address = BindExternalFunction(index);
    intptr_t result = 0;
    if (!CallWithStackCheck(address, argCount, args, &result)) ReportRuntimeError(6);
    return result;
}

#if defined(__i386__)

bool CallWithStackCheck(void* address, int argCount, const intptr_t* args, intptr_t* result) {
    // The arguments are pushed last first and the stack pointer compared
    // after the call: a WINAPI callee removes exactly what was pushed.
    intptr_t value;
    intptr_t difference;
    __asm__ volatile(
        "movl %%esp, %%edi\n\t"
        "1:\n\t"
        "testl %%ecx, %%ecx\n\t"
        "jz 2f\n\t"
        "pushl -4(%%esi,%%ecx,4)\n\t"
        "decl %%ecx\n\t"
        "jmp 1b\n\t"
        "2:\n\t"
        "call *%%ebx\n\t"
        "movl %%esp, %%ecx\n\t"
        "subl %%edi, %%ecx\n\t"
        "movl %%edi, %%esp\n\t"
        : "=a"(value), "=c"(difference)
        : "b"(address), "1"(argCount), "S"(args)
        : "edi", "edx", "memory", "cc");
    *result = value;
    return difference == 0;
}

#else

bool CallWithStackCheck(void* address, int argCount, const intptr_t* a, intptr_t* result) {
    // One calling convention on x86-64: the callee never changes the
    // caller's stack, so the check always passes.
    using W = intptr_t;
    switch (argCount) {
        case 0: *result = reinterpret_cast<W(WINAPI*)()>(address)(); break;
        case 1: *result = reinterpret_cast<W(WINAPI*)(W)>(address)(a[0]); break;
        case 2: *result = reinterpret_cast<W(WINAPI*)(W, W)>(address)(a[0], a[1]); break;
        case 3: *result = reinterpret_cast<W(WINAPI*)(W, W, W)>(address)(a[0], a[1], a[2]); break;
        case 4: *result = reinterpret_cast<W(WINAPI*)(W, W, W, W)>(address)(a[0], a[1], a[2], a[3]); break;
        case 5: *result = reinterpret_cast<W(WINAPI*)(W, W, W, W, W)>(address)(a[0], a[1], a[2], a[3], a[4]); break;
        case 6:
            *result = reinterpret_cast<W(WINAPI*)(W, W, W, W, W, W)>(address)(a[0], a[1], a[2], a[3], a[4], a[5]);
            break;
        case 7:
            *result = reinterpret_cast<W(WINAPI*)(W, W, W, W, W, W, W)>(address)(a[0], a[1], a[2], a[3], a[4], a[5],
                                                                                a[6]);
            break;
        case 8:
            *result = reinterpret_cast<W(WINAPI*)(W, W, W, W, W, W, W, W)>(address)(a[0], a[1], a[2], a[3], a[4],
                                                                                   a[5], a[6], a[7]);
            break;
        case 9:
            *result = reinterpret_cast<W(WINAPI*)(W, W, W, W, W, W, W, W, W)>(address)(a[0], a[1], a[2], a[3], a[4],
                                                                                      a[5], a[6], a[7], a[8]);
            break;
        case 10:
            *result = reinterpret_cast<W(WINAPI*)(W, W, W, W, W, W, W, W, W, W)>(address)(
                a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9]);
            break;
        case 11:
            *result = reinterpret_cast<W(WINAPI*)(W, W, W, W, W, W, W, W, W, W, W)>(address)(
                a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10]);
            break;
        case 12:
            *result = reinterpret_cast<W(WINAPI*)(W, W, W, W, W, W, W, W, W, W, W, W)>(address)(
                a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11]);
            break;
        default:
            return false;
    }
    return true;
}

#endif

}  // namespace lyra
