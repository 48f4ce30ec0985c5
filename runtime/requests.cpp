// The runtime request function: how the command libraries reach runtime
// state and services.
#include <windows.h>

#include "runtime/errors.h"
#include "runtime/framework/window_object.h"
#include "runtime/memory.h"
#include "runtime/request_codes.h"
#include "runtime/runtime_app.h"
#include "runtime/values.h"
#include "runtime/window_layer.h"

namespace lyra {

namespace {

// A framework object wrapped around a window handle at a library's request.
class WrappedWindow : public framework::WindowObject {};

// Command 25 of the core library (library 0) empties a ComObject value.
constexpr uint32_t kObjectClearCommand = 25;

// kRequestClearObject: empties the ComObject value param1 points at, by calling the
// core library's ObjectClear through its command table.
void ClearObjectValue(RuntimeState& runtime, intptr_t block) {
    if (runtime.libraries.empty() || block == 0) return;
    const LibraryRecord* core = runtime.libraries[0];
    if (core == nullptr || core->commandTable == nullptr || core->commandCount <= kObjectClearCommand) return;
    CommandFunction clear = core->commandTable[kObjectClearCommand];
    if (clear == nullptr) return;
    ValueRecord result = EmptyRecord();
    ValueRecord argument = PointerArg(reinterpret_cast<const void*>(block), kTypeComObject);
    clear(&result, 1, &argument);
}

}  // namespace

intptr_t RuntimeRequest(int code, intptr_t param1, intptr_t param2) {
    RuntimeApplication& app = TheRuntimeApplication();
    RuntimeState& runtime = Runtime();
    switch (code) {
        case kRequestProgramIcons: {
            auto* words = reinterpret_cast<HICON*>(param1);
            if (words != nullptr) app.LoadIcons(&words[0], &words[1]);
            return 0;
        }
        case kRequestDataTypeRecord: return reinterpret_cast<intptr_t>(DataTypeRecordOf(static_cast<uint32_t>(param1)));
        case kRequestConstantOne: return 1;
        case kRequestConstantFive: return 5;
        case kRequestWrapWindow: {
            auto* object = new WrappedWindow();
            object->Attach(reinterpret_cast<HWND>(param1));
            return reinterpret_cast<intptr_t>(static_cast<framework::WindowObject*>(object));
        }
        case kRequestDeleteObject: delete reinterpret_cast<framework::WindowObject*>(param1); return 0;
        case kRequestDetachWindow: {
            auto* object = reinterpret_cast<framework::WindowObject*>(param1);
            return object ? reinterpret_cast<intptr_t>(object->Detach()) : 0;
        }
        case kRequestWindowHandle: {
            auto* object = reinterpret_cast<framework::WindowObject*>(param1);
            return object ? reinterpret_cast<intptr_t>(object->Handle()) : 0;
        }
        case kRequestAddIdleCallback: {
            auto* words = reinterpret_cast<const intptr_t*>(param1);
            if (words == nullptr) return 0;
            IdleCallback callback{reinterpret_cast<HWND>(words[0]), reinterpret_cast<void (*)(intptr_t)>(words[1]),
                                  words[2]};
            app.AddIdleCallback(callback);
            return 0;
        }
        case kRequestRemoveIdleCallback: app.RemoveIdleCallback(reinterpret_cast<HWND>(param1)); return 0;
        case kRequestProgramDirectory: return reinterpret_cast<intptr_t>(runtime.programDirectory.c_str());
        case kRequestProgramFileName: return reinterpret_cast<intptr_t>(runtime.programFileName.c_str());
        case kRequestSuspendEvents:
            app.PumpWaitingMessages();
            RaiseEventSuspension();
            return 0;
        case kRequestResumeEvents:
            app.PumpWaitingMessages();
            LowerEventSuspension();
            return 0;
        case kRequestPumpMessages: app.PumpWaitingMessages(); return 0;
        case kRequestFreeArray: FreeArray(static_cast<uint32_t>(param1), reinterpret_cast<void*>(param2)); return 0;
        case kRequestAllocate:
            return reinterpret_cast<intptr_t>(param2 == 0 ? AllocMemory(static_cast<size_t>(param1))
                                                          : TryAllocMemory(static_cast<size_t>(param1)));
        case kRequestFree: FreeMemory(reinterpret_cast<void*>(param1)); return 0;
        case kRequestReallocate:
            return reinterpret_cast<intptr_t>(ReallocMemory(reinterpret_cast<void*>(param1), static_cast<size_t>(param2)));
        case kRequestReportError: ReportError(reinterpret_cast<const char*>(param1), 0);
        case kRequestExitProgram: ExitProgram(static_cast<int>(param1));
        case kRequestProgramKind: return static_cast<intptr_t>(runtime.programKind);
        case kRequestClearObject: ClearObjectValue(runtime, param1); return 0;
        case kRequestProgramDirectoryWide: return reinterpret_cast<intptr_t>(runtime.programDirectoryWide.c_str());
        default: break;
    }
    if (kProgramWindowLayer != nullptr) {
        bool handled = false;
        intptr_t answer = kProgramWindowLayer->Request(code, param1, param2, &handled);
        if (handled) return answer;
    }
    return 0;
}

}  // namespace lyra
