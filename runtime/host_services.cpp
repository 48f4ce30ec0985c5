// The service table of native builds, where the platform-free code (the
// commands and the application's text routines) runs under unit tests:
// commands, memory and errors. Windows, properties and external functions
// exist only in the Windows runtime.
#include "runtime/errors.h"
#include "runtime/memory.h"
#include "runtime/services.h"

namespace lyra {

namespace {

void HostReportRuntimeError(int code) { ReportRuntimeError(code); }
void HostExitProgram(int exitCode) { ExitProgram(exitCode); }

ValueRecord HostCallCoreCommand(CommandFunction command, int32_t count, ValueRecord* args) {
    ValueRecord result = EmptyRecord();
    command(&result, count, args);
    return result;
}

ValueRecord HostCallLibraryCommand(int, CommandFunction command, int32_t count, ValueRecord* args) {
    return HostCallCoreCommand(command, count, args);
}

}  // namespace

const ServiceTable kServices = {
    &HostReportRuntimeError,
    nullptr,
    &HostCallLibraryCommand,
    &HostCallCoreCommand,
    nullptr,
    nullptr,
    &AllocMemory,
    &ReallocMemory,
    &FreeMemory,
    &HostExitProgram,
    nullptr,
    nullptr,
    nullptr,
};

}  // namespace lyra
