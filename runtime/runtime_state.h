// The platform-free fields of the runtime application object. The Windows
// application object owns the rest (heap, helper window, loaded template).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/errors.h"
#include "runtime/program_image.h"

namespace lyra {

using ExitRoutine = void (*)();

struct RuntimeState {
    const ProgramImageHeader* header = nullptr;
    uint32_t programKind = 0;

    // GBK texts.
    std::string programDirectory;  // no trailing backslash
    std::string programFileName;
    std::string moduleDirectory;   // with trailing backslash

    // The program's folder for the file system: its name need not be GBK.
    std::wstring programDirectoryWide;  // no trailing backslash

    // One entry per external function; bound entries may be read from any thread.
    uint32_t externalCount = 0;
    std::unique_ptr<const char*[]> externalLibraryNames;
    std::unique_ptr<const char*[]> externalFunctionNames;
    std::unique_ptr<std::atomic<void*>[]> externalModules;
    std::unique_ptr<std::atomic<void*>[]> externalAddresses;

    std::vector<const LibraryRecord*> libraries;
    std::vector<intptr_t> libraryWords;

    std::atomic<ExitRoutine> exitHook{nullptr};
    std::atomic<ErrorHook> errorHook{nullptr};
    std::atomic<bool> errorHookRunning{false};

    std::atomic<bool> shuttingDown{false};
    // Set once the last window is gone or shutdown has begun: late property
    // access from worker threads is then dropped instead of reported.
    std::atomic<bool> programEnding{false};
    std::atomic<bool> messageLoopStarted{false};
    std::atomic<bool> oleInitialised{false};
    std::atomic<uint32_t> mainThreadId{0};

    // While above zero no component event reaches the application.
    std::atomic<int> eventSuspension{0};
};

RuntimeState& Runtime();

// The data-type record of a library type code, or null when the code names none.
const DataTypeRecord* DataTypeRecordOf(uint32_t typeCode);

void RaiseEventSuspension();
void LowerEventSuspension();  // never below zero
bool EventsSuspended();

}  // namespace lyra
