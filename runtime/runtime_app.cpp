#include "runtime/runtime_app.h"

#include <objbase.h>
#include <ole2.h>

#include <cstring>
#include <string>

#include "runtime/external.h"
#include "runtime/framework/archive.h"
#include "runtime/framework/window_object.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/request_codes.h"
#include "runtime/window_layer.h"

namespace lyra {

namespace {

const wchar_t kHelperClassName[] = L"LyraboxRuntimeHelper";

struct MainThreadCall {
    void (*fn)(void*);
    void* context;
    bool ran;
};

// The whole path, however long: the buffer doubles while the answer fills it.
std::wstring ModuleFileName(HMODULE module) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(module, &buffer[0], static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::wstring();
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        if (buffer.size() >= 0x8000) return std::wstring();
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

// The one application object, constructed by the static initialisers.
RuntimeApplication gRuntimeApplication;

RuntimeApplication& TheRuntimeApplication() { return gRuntimeApplication; }

bool OnMainThread() {
    uint32_t mainThread = Runtime().mainThreadId.load();
    return mainThread == 0 || mainThread == GetCurrentThreadId();
}

bool ProgramEnding() { return Runtime().programEnding.load(); }

bool RunOnMainThread(void (*fn)(void*), void* context) {
    if (OnMainThread()) {
        fn(context);
        return true;
    }
    // Once the program is ending the main thread may be busy shutting down
    // (or gone): a worker is answered at once instead of waiting for it.
    if (ProgramEnding()) return false;
    HWND helper = TheRuntimeApplication().helperWindow();
    if (helper == nullptr) return false;
    MainThreadCall call{fn, context, false};
    SendMessageW(helper, kRunOnMainThreadMessage, 0, reinterpret_cast<LPARAM>(&call));
    return call.ran;
}

int RuntimeApplication::AppStart() {
    std::wstring module = ModuleFileName(nullptr);
    size_t slash = module.find_last_of(L'\\');
    Runtime().moduleDirectory = slash == std::wstring::npos ? std::string() : WideToGbk(module.c_str(), slash + 1);
    return ApplicationEntry();
}

int RuntimeApplication::AppExit() {
    Shutdown(0);
    return framework::Application::AppExit();
}

void RuntimeApplication::InitialiseProgram() {
    RuntimeState& runtime = Runtime();
    const ProgramImageHeader& header = kProgramImageHeader;
    runtime.header = &header;
    runtime.programKind = header.programKind;

    if (!runtime.oleInitialised.load()) {
        OleInitialize(nullptr);
        runtime.oleInitialised.store(true);
    }

    std::wstring program = ModuleFileName(nullptr);
    size_t slash = program.find_last_of(L'\\');
    if (slash == std::wstring::npos) {
        runtime.programDirectoryWide.clear();
        runtime.programFileName = WideToGbk(program.c_str());
    } else {
        runtime.programDirectoryWide = program.substr(0, slash);
        runtime.programFileName = WideToGbk(program.c_str() + slash + 1);
    }
    runtime.programDirectory = WideToGbk(runtime.programDirectoryWide.c_str());
    if (!runtime.programDirectoryWide.empty()) SetCurrentDirectoryW(runtime.programDirectoryWide.c_str());

    CreateHelperWindow();
    runtime.mainThreadId.store(GetCurrentThreadId());

    if (header.constantSegmentSize > 0) AddStaticRange(header.constantSegment, header.constantSegmentSize);
    if (header.externalFunctionCount > 0) {
        SetUpExternalFunctions(header.externalFunctionCount, header.externalLibraryNames, header.externalFunctionNames);
    }
    for (uint32_t i = 0; i < header.libraryCount; ++i) {
        const LibraryRecord* library = header.libraryTable[i];
        if (library != nullptr && library->notify != nullptr) {
            library->notify(kNotifyStart, reinterpret_cast<intptr_t>(&RuntimeRequest), 0);
        }
    }
    runtime.libraries.assign(header.libraryTable, header.libraryTable + header.libraryCount);
    runtime.libraryWords.assign(header.libraryCount, 0);

    if (header.windowTemplateSize > 0 && kProgramWindowLayer != nullptr) {
        bool readable = true;
        try {
            kProgramWindowLayer->LoadTemplate(header.windowTemplate, header.windowTemplateSize, header.codeBase);
        } catch (...) {
            readable = false;
        }
        if (!readable) ReportError("载入窗口模板数据段出错!", 0);
    }
}

void RuntimeApplication::CreateHelperWindow() {
    framework::RegisterWindowClass(kHelperClassName, 0, LoadCursorW(nullptr, IDC_ARROW), nullptr,
                                   &RuntimeApplication::HelperProc);
    helperWindow_ = CreateWindowExW(WS_EX_TOOLWINDOW, kHelperClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
}

LRESULT CALLBACK RuntimeApplication::HelperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kExitRequestMessage:
            ExitProgram(static_cast<int>(wParam));
        case kRunOnMainThreadMessage: {
            auto* call = reinterpret_cast<MainThreadCall*>(lParam);
            call->fn(call->context);
            call->ran = true;
            return 0;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void RuntimeApplication::Shutdown(int exitCode) {
    RuntimeState& runtime = Runtime();
    RaiseEventSuspension();

    if (!OnMainThread()) {
        if (HWND helper = helperWindow_.load()) {
            SendMessageW(helper, kExitRequestMessage, static_cast<WPARAM>(exitCode), 0);
        }
        if (!runtime.shuttingDown.load()) ExitProcess(static_cast<UINT>(exitCode));
        // The main thread is already shutting down and will end the process.
        for (;;) Sleep(INFINITE);
    }

    if (runtime.shuttingDown.exchange(true)) return;
    runtime.programEnding.store(true);
    {
        std::lock_guard<std::mutex> lock(idleMutex_);
        idleCallbacks_.clear();
    }
    // Workers may still be running: the windows go, but the template, the
    // component objects, the library table, the external functions and the
    // static ranges stay until the process ends (see runtime/threading.h).
    if (kProgramWindowLayer != nullptr) kProgramWindowLayer->ReleaseTemplate();

    if (ExitRoutine hook = runtime.exitHook.exchange(nullptr)) hook();

    for (size_t i = 0; i < runtime.libraries.size(); ++i) {
        const LibraryRecord* library = runtime.libraries[i];
        if (library != nullptr && library->notify != nullptr) library->notify(kNotifyShutdown, runtime.libraryWords[i], 0);
    }

    // A worker that asks the main thread from now on is answered at once (neutrally).
    HWND helper = helperWindow_.exchange(nullptr);
    if (helper != nullptr && IsWindow(helper)) DestroyWindow(helper);

    if (runtime.oleInitialised.exchange(false)) OleUninitialize();
}

void RuntimeApplication::LoadIcons(HICON* large, HICON* small) {
    std::lock_guard<std::mutex> lock(iconMutex_);
    if (largeIcon_ == nullptr && smallIcon_ == nullptr) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        largeIcon_ = static_cast<HICON>(LoadImageW(instance, L"DEFAULT_ICON", IMAGE_ICON, 32, 32, 0));
        smallIcon_ = static_cast<HICON>(LoadImageW(instance, L"DEFAULT_ICON", IMAGE_ICON, 16, 16, 0));
    }
    if (large != nullptr) *large = largeIcon_;
    if (small != nullptr) *small = smallIcon_;
}

void RuntimeApplication::AddIdleCallback(const IdleCallback& callback) {
    if (!IsWindow(callback.window) || callback.routine == nullptr) return;
    std::lock_guard<std::mutex> lock(idleMutex_);
    for (const IdleCallback& entry : idleCallbacks_) {
        if (entry.window == callback.window) return;
    }
    idleCallbacks_.push_back(callback);
}

void RuntimeApplication::RemoveIdleCallback(HWND window) {
    std::lock_guard<std::mutex> lock(idleMutex_);
    for (size_t i = 0; i < idleCallbacks_.size(); ++i) {
        if (idleCallbacks_[i].window == window) {
            idleCallbacks_.erase(idleCallbacks_.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

void RuntimeApplication::RunIdleCallbacks() {
    std::vector<IdleCallback> snapshot;
    {
        std::lock_guard<std::mutex> lock(idleMutex_);
        snapshot = idleCallbacks_;
    }
    for (size_t i = snapshot.size(); i-- > 0;) {
        if (IsWindow(snapshot[i].window)) snapshot[i].routine(snapshot[i].argument);
        else RemoveIdleCallback(snapshot[i].window);
    }
}

bool RuntimeApplication::IdleWork(long count) {
    bool newPeriod = count == 0;
    if (newPeriod) idleStart_ = GetTickCount();
    if (FrameworkIdle(count)) return true;
    if (count < 2) return true;
    if (kProgramWindowLayer == nullptr) return false;
    return kProgramWindowLayer->RaiseIdleEvents(GetTickCount() - idleStart_, count == 2);
}

bool RuntimeApplication::FilterMessage(MSG& message) {
    if (message.hwnd == nullptr) return PreTranslateThreadMessage(message);
    for (HWND window = message.hwnd; window != nullptr; window = GetParent(window)) {
        framework::WindowObject* owner = framework::WindowObject::FromHandle(window);
        if (owner == nullptr) {
            owner = reinterpret_cast<framework::WindowObject*>(SendMessageW(window, kOwnerQueryMessage, 0, 0));
        }
        if (owner != nullptr && owner->PreTranslateMessage(message)) return true;
        if (window == mainWindow) break;
    }
    return false;
}

void RuntimeApplication::PumpWaitingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (message.message == WM_QUIT) return;
        if (!PumpMessage()) return;
    }
}

void RuntimeApplication::RunMessageLoop(int mode) {
    MSG waiting;
    bool idle = true;
    long idleCount = 0;
    for (;;) {
        while (idle && !PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE)) {
            RunIdleCallbacks();
            if (!IdleWork(idleCount++)) idle = false;
            if (mode == 1 && !modalActive) return;
        }
        do {
            if (mode == 1 && PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE) && waiting.message == WM_QUIT) return;
            if (!PumpMessage()) return;
            if (mode == 1 && !modalActive) return;
            if (IsIdleMessage(CurrentMessage())) {
                idle = true;
                idleCount = 0;
            }
        } while (PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE));
    }
}

}  // namespace lyra
