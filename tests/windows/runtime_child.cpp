// A test program on the runtime: its own program image, libraries that log
// their notifications and a stand-in window layer. The first argument names
// the scenario, the second the log file.
#include <windows.h>

#include <cstring>
#include <string>

#include "runtime/errors.h"
#include "runtime/framework/archive.h"
#include "runtime/request_codes.h"
#include "runtime/runtime_app.h"
#include "runtime/runtime_state.h"
#include "runtime/services.h"
#include "runtime/window_layer.h"
#include "tests/windows/support/child_program.h"

namespace lyra {

namespace {

using test::IsScenario;
using test::Log;
using test::Narrow;

intptr_t NotifyA(int message, intptr_t param1, intptr_t) {
    if (message == 1 && param1 == 0) Log("A1 without request");
    Log("A" + std::to_string(message));
    return 0;
}
intptr_t NotifyC(int message, intptr_t, intptr_t) {
    Log("C" + std::to_string(message));
    return 0;
}

LibraryRecord MakeLibrary(NotifyFunction notify) {
    LibraryRecord record{};
    record.signature = kLibrarySignature;
    record.notify = notify;
    return record;
}

const LibraryRecord kLibraryA = MakeLibrary(&NotifyA);
const LibraryRecord kLibraryB = MakeLibrary(nullptr);
const LibraryRecord kLibraryC = MakeLibrary(&NotifyC);
const LibraryRecord* const kLibraries[4] = {&kLibraryA, nullptr, &kLibraryB, &kLibraryC};

const uint8_t kTemplateBytes[4] = {1, 2, 3, 4};
const uint8_t kConstantBytes[16] = {};
const RoutineTable kNoRoutines = {0, nullptr};

void LoadTemplate(const uint8_t* data, size_t size, const RoutineTable*) {
    Log("template");
    framework::MemoryArchive archive(data, size);
    archive.ReadU32();
    if (IsScenario(L"bad-template")) archive.ReadU32();  // past the end
}
void ReleaseTemplate() { Log("release"); }
bool LoadWindow(uint32_t) { return false; }
bool AnyWindowExists() { return false; }
bool RaiseIdleEvents(uint32_t, bool) { return false; }
intptr_t Request(int, intptr_t, intptr_t, bool* handled) {
    *handled = false;
    return 0;
}
uint64_t ReadPropertyStub(uint32_t, uint32_t, int32_t, int32_t) { return 0; }
void WritePropertyStub(uint32_t, uint32_t, int32_t, int32_t, uint64_t) {}

const WindowLayer kLayer = {&LoadTemplate, &ReleaseTemplate, &LoadWindow, &AnyWindowExists,
                            &RaiseIdleEvents, &Request, &ReadPropertyStub, &WritePropertyStub};

void LoggingExitRoutine() { Log("exit-hook"); }

int HookAnswering(int code, const char*) {
    Log("hook " + std::to_string(code));
    return 1;
}

DWORD WINAPI ExitFromWorker(void*) {
    Log("worker");
    kServices.ExitProgram(42);
    Log("worker returned");
    return 0;
}

DWORD WINAPI ErrorFromWorker(void*) {
    kServices.ReportRuntimeError(4);
    return 0;
}

void PumpForever() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

}  // namespace

const ProgramImageHeader kProgramImageHeader = {
    7, 0, 1, &kNoRoutines, kConstantBytes, sizeof kConstantBytes, kTemplateBytes, sizeof kTemplateBytes,
    4, kLibraries, 0, nullptr, nullptr,
};
const WindowLayer* const kProgramWindowLayer = &kLayer;

int ApplicationEntry() {
    if (!test::ReadChildArguments()) return 2;

    kServices.RuntimeHelper(kHelperInitialiseProgram, 0, 0, 0, 0, 0, 0);
    kServices.RuntimeHelper(kHelperSetExitHook, reinterpret_cast<intptr_t>(&LoggingExitRoutine), 0, 0, 0, 0, 0);
    Log("entry");
    wchar_t directory[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, directory);
    Log("cwd " + Narrow(directory));
    Log("programDirectory " + Runtime().programDirectory);
    wchar_t module[MAX_PATH];
    std::wstring modulePath(module, GetModuleFileNameW(nullptr, module, MAX_PATH));
    bool wideIsModuleFolder = modulePath == Runtime().programDirectoryWide + L"\\runtime_child.exe";
    Log(std::string("wide program folder ") + (wideIsModuleFolder ? "is the module's" : "differs"));
    Log(std::string("working directory ") + (Runtime().programDirectoryWide == directory ? "is" : "is not") + " the wide program folder");
    Log("kind " + std::to_string(RuntimeRequest(kRequestProgramKind, 0, 0)));

    if (IsScenario(L"loop")) {
        kServices.RunMessageLoop();
        Log("loop-returned");
        return 0;
    }
    if (IsScenario(L"worker-exit")) {
        CloseHandle(CreateThread(nullptr, 0, &ExitFromWorker, nullptr, 0, nullptr));
        PumpForever();
        return 3;
    }
    if (IsScenario(L"error")) kServices.ReportRuntimeError(6);
    if (IsScenario(L"error-hook")) {
        SetErrorHook(&HookAnswering);
        kServices.ReportRuntimeError(6);
    }
    if (IsScenario(L"worker-error")) {
        CloseHandle(CreateThread(nullptr, 0, &ErrorFromWorker, nullptr, 0, nullptr));
        PumpForever();
        return 3;
    }
    if (IsScenario(L"no-window")) {
        kServices.LoadStartWindow(0x52010001);
        return 4;
    }
    return 0;
}

}  // namespace lyra
