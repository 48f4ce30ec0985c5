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

// A property value in helper words: the datum in the first word, and on
// 32-bit builds its high half in the second.
uint64_t HelperValue(intptr_t low, intptr_t high) {
    if (sizeof(intptr_t) == 8) return static_cast<uint64_t>(low);
    return static_cast<uint32_t>(low) | static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32;
}

intptr_t RuntimeHelper(int number, intptr_t a, intptr_t b, intptr_t c, intptr_t d, intptr_t e, intptr_t f) {
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
        case kHelperReadObjectProperty:
            // (type code, object, property number, element index)
            if (kProgramWindowLayer == nullptr || kProgramWindowLayer->ReadObjectProperty == nullptr) return 0;
            return static_cast<intptr_t>(kProgramWindowLayer->ReadObjectProperty(
                static_cast<uint32_t>(a), reinterpret_cast<void*>(b), static_cast<int32_t>(c), static_cast<int32_t>(d)));
        case kHelperWriteObjectProperty:
            // (type code, object, property number, element index, value words)
            if (kProgramWindowLayer != nullptr && kProgramWindowLayer->WriteObjectProperty != nullptr) {
                kProgramWindowLayer->WriteObjectProperty(static_cast<uint32_t>(a), reinterpret_cast<void*>(b),
                                                         static_cast<int32_t>(c), static_cast<int32_t>(d),
                                                         HelperValue(e, f));
            }
            return 0;
        case kHelperInitialiseProgram:
            TheRuntimeApplication().InitialiseProgram();
            return 0;
        default:
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
