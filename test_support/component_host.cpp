#include "test_support/component_host.h"

#include <map>

#include "commands/libraries.h"
#include "runtime/program_image.h"
#include "runtime/request_codes.h"
#include "runtime/runtime_app.h"
#include "runtime/window_layer.h"
#include "test_support/waits.h"
#include "window_units/component_support.h"

namespace lyra {

namespace {

std::mutex gComponentsMutex;
std::map<uint32_t, Component*> gComponents;

void LoadTemplate(const uint8_t*, size_t, const RoutineTable*) {}
void ReleaseTemplate() {}
bool LoadWindow(uint32_t) { return false; }
bool AnyWindowExists() { return false; }
bool RaiseIdleEvents(uint32_t, bool) { return false; }

intptr_t Request(int code, intptr_t param1, intptr_t param2, bool* handled) {
    *handled = true;
    switch (code) {
        case 2008:
            test::EventLog::Instance().Record(reinterpret_cast<EventRequest*>(param1));
            return 1;
        case 2006:
        case 2007: {
            std::lock_guard<std::mutex> lock(gComponentsMutex);
            auto found = gComponents.find(static_cast<uint32_t>(param2));
            if (found == gComponents.end() || static_cast<uint32_t>(param1) != test::kTestWindowId) return 0;
            return reinterpret_cast<intptr_t>(static_cast<framework::WindowObject*>(found->second));
        }
        default:
            *handled = false;
            return 0;
    }
}
// The own number properties of registered components (property 8 is own
// property 0), read on the calling thread as the window units read them.
uint64_t ReadProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t) {
    Component* component = nullptr;
    {
        std::lock_guard<std::mutex> lock(gComponentsMutex);
        auto found = gComponents.find(unitId);
        if (found != gComponents.end() && windowId == test::kTestWindowId) component = found->second;
    }
    PropertyValue value;
    if (component == nullptr || property < 8 || !GetPropertyOp(component, property - 8, &value)) return 0;
    return static_cast<uint64_t>(value.number);
}
void WritePropertyStub(uint32_t, uint32_t, int32_t, int32_t, uint64_t) {}

const WindowLayer kLayer = {&LoadTemplate, &ReleaseTemplate, &LoadWindow, &AnyWindowExists,
                            &RaiseIdleEvents, &Request, &ReadProperty, &WritePropertyStub};
const RoutineTable kNoRoutines = {0, nullptr};

// The libraries learn the request function as they would at start-up.
struct LibraryNotifier {
    LibraryNotifier() {
        for (const LibraryRecord* library : kLibraryTable) library->notify(kNotifyStart, reinterpret_cast<intptr_t>(&RuntimeRequest), 0);
    }
};

}  // namespace

const ProgramImageHeader kProgramImageHeader = {
    7, 0, 1, &kNoRoutines, nullptr, 0, nullptr, 0, kLibraryCount, kLibraryTable.data(), 0, nullptr, nullptr,
};
const WindowLayer* const kProgramWindowLayer = &kLayer;
int ApplicationEntry() { return 0; }

namespace test {

EventLog& EventLog::Instance() {
    static EventLog log;
    static LibraryNotifier notifier;
    return log;
}

void EventLog::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.clear();
    hasResult_ = false;
}

std::vector<RaisedEvent> EventLog::Events() {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

std::vector<RaisedEvent> EventLog::Events(int32_t number) {
    std::vector<RaisedEvent> matching;
    for (const RaisedEvent& e : Events()) {
        if (e.number == number) matching.push_back(e);
    }
    return matching;
}

std::vector<std::string> EventLog::Lines(int32_t number) {
    std::vector<std::string> lines;
    for (const RaisedEvent& e : Events(number)) {
        std::string line = std::to_string(e.number);
        for (uint32_t argument : e.arguments) line += " " + std::to_string(argument);
        lines.push_back(line);
    }
    return lines;
}

void EventLog::SetAnswer(bool hasResult, uint32_t result) {
    std::lock_guard<std::mutex> lock(mutex_);
    hasResult_ = hasResult;
    result_ = result;
}

void EventLog::Record(EventRequest* request) {
    std::lock_guard<std::mutex> lock(mutex_);
    RaisedEvent e{request->unitId, request->eventNumber, {}};
    for (uint32_t i = 0; i < request->argumentCount && i < 5; ++i) e.arguments.push_back(request->arguments[i]);
    events_.push_back(e);
    if (hasResult_) {
        request->hasResult = 1;
        request->result = result_;
    }
}

void RegisterComponent(Component* component) {
    EventLog::Instance();
    std::lock_guard<std::mutex> lock(gComponentsMutex);
    gComponents[component->unitId()] = component;
}

void UnregisterComponent(Component* component) {
    std::lock_guard<std::mutex> lock(gComponentsMutex);
    auto found = gComponents.find(component->unitId());
    if (found != gComponents.end() && found->second == component) gComponents.erase(found);
}

namespace {
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ReflectNotification(message, wParam, lParam, &result)) return result;
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

HostWindow::HostWindow() {
    EventLog::Instance();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &HostProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"LyraboxComponentTestHost";
    RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(0, L"LyraboxComponentTestHost", L"component test", WS_OVERLAPPEDWINDOW | WS_VISIBLE |
                              WS_CLIPCHILDREN, 20, 20, 640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    PumpWaiting();
}

HostWindow::~HostWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
    PumpWaiting();
}

namespace {
// As the runtime's message loop: the window units see every message first
// and turn those of the common events into events.
void Dispatch(MSG& message) {
    if (TheRuntimeApplication().FilterMessage(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}
}  // namespace

void PumpWaiting() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) Dispatch(message);
}

bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    return PumpUntil(condition, milliseconds, &PumpWaiting);
}

CreateArgs MakeCreateArgs(HWND parent, const std::vector<uint8_t>& block, uint32_t unitId, int left, int top, int width,
                          int height) {
    CreateArgs args{};
    args.window = parent;
    args.propertyBlock = block.data();
    args.propertyBlockSize = block.size();
    args.style = WS_TABSTOP;
    args.parent = parent;
    args.childId = 100;
    args.left = left;
    args.top = top;
    args.width = width;
    args.height = height;
    args.windowId = kTestWindowId;
    args.unitId = unitId;
    return args;
}

void ComponentDeleter::operator()(Component* component) const {
    if (component == nullptr) return;
    UnregisterComponent(component);
    if (HWND window = component->Handle()) DestroyWindow(window);
    delete component;
}

}  // namespace test
}  // namespace lyra
