#include "runtime/services.h"

#include "runtime/errors.h"
#include "runtime/memory.h"
#include "runtime/runtime_app.h"
#include "runtime/window_layer.h"

namespace lyra {

namespace {

void ReportRuntimeErrorService(int code) { ReportRuntimeError(code); }
void ExitProgramService(int exitCode) { ExitProgram(exitCode); }

}  // namespace

ValueRecord CallCoreCommand(CommandFunction command, int32_t count, ValueRecord* args) {
    ValueRecord result = EmptyRecord();
    command(&result, count, args);
    return result;
}

ValueRecord CallLibraryCommand(int, CommandFunction command, int32_t count, ValueRecord* args) {
    ValueRecord result = EmptyRecord();
    command(&result, count, args);
    return result;
}

uint64_t ReadProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t element) {
    if (kProgramWindowLayer == nullptr) ReportError("指定窗口尚未载入", 0);
    return kProgramWindowLayer->ReadProperty(windowId, unitId, property, element);
}

void WriteProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t element, uint64_t value) {
    if (kProgramWindowLayer == nullptr) ReportError("指定窗口尚未载入", 0);
    kProgramWindowLayer->WriteProperty(windowId, unitId, property, element, value);
}

void RunMessageLoop() {
    RuntimeApplication& app = TheRuntimeApplication();
    Runtime().messageLoopStarted.store(true);
    if (kProgramWindowLayer == nullptr || !kProgramWindowLayer->AnyWindowExists()) return;
    app.RunMessageLoop(0);
}

void LoadStartWindow(uint32_t windowId) {
    if (kProgramWindowLayer == nullptr || !kProgramWindowLayer->LoadWindow(windowId)) {
        ReportError("载入启动窗口失败", 0);
    }
}

intptr_t RuntimeHelper(int number, intptr_t a, intptr_t b, intptr_t c, intptr_t d, intptr_t) {
    switch (number) {
        case kHelperSearchFiles:
            return reinterpret_cast<intptr_t>(SearchFiles(reinterpret_cast<const char*>(a), static_cast<uint32_t>(b),
                                                          c != 0, reinterpret_cast<intptr_t*>(d)));
        case kHelperEndFileSearch:
            EndFileSearch(a);
            return 0;
        case kHelperMakeArrayWritable:
            MakeArrayWritable(static_cast<size_t>(a), reinterpret_cast<void**>(b));
            return 0;
        case kHelperSetExitHook:
            Runtime().exitHook.store(reinterpret_cast<ExitRoutine>(a));
            return 0;
        case kHelperInitialiseProgram:
            TheRuntimeApplication().InitialiseProgram();
            return 0;
        default:
            // Object property helpers serve library data types this program does not have.
            return 0;
    }
}

const ServiceTable kServices = {
    &ReportRuntimeErrorService,
    &CallExternalFunction,
    &CallLibraryCommand,
    &CallCoreCommand,
    &ReadProperty,
    &WriteProperty,
    &AllocMemory,
    &ReallocMemory,
    &FreeMemory,
    &ExitProgramService,
    &RunMessageLoop,
    &LoadStartWindow,
    &RuntimeHelper,
};

}  // namespace lyra
