// An in-process host for component tests: the program image and a stand-in
// window layer whose event request (2008) records what components raise,
// a top-level window that hands its children's notifications back to
// their components, and a message pump that waits for a condition.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "window_units/component.h"

namespace lyra::test {

constexpr uint32_t kTestWindowId = 0x52010001;

struct RaisedEvent {
    uint32_t unitId;
    int32_t number;
    std::vector<uint32_t> arguments;
};

// The events raised so far, and the answer the stand-in gives to them.
class EventLog {
public:
    static EventLog& Instance();
    void Clear();
    std::vector<RaisedEvent> Events();
    std::vector<RaisedEvent> Events(int32_t number);
    // The events of that number as lines "number argument ...", in order.
    std::vector<std::string> Lines(int32_t number);
    // 0 answers "no routine value"; anything else is returned as the routine's value.
    void SetAnswer(bool hasResult, uint32_t result);

    void Record(EventRequest* request);

private:
    std::mutex mutex_;
    std::vector<RaisedEvent> events_;
    bool hasResult_ = false;
    uint32_t result_ = 0;
};

// Components by unit id, for requests 2006/2007.
void RegisterComponent(Component* component);
void UnregisterComponent(Component* component);

// A visible top-level window of 640 x 480 for components to sit on.
class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HWND handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

// Dispatches messages until the condition holds or the time is up, through
// the runtime's message filter (common events) as the message loop does.
bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds);
void PumpWaiting();

CreateArgs MakeCreateArgs(HWND parent, const std::vector<uint8_t>& block, uint32_t unitId, int left, int top, int width,
                          int height);

// Owns a created component: destroys its window, then the object.
struct ComponentDeleter {
    void operator()(Component* component) const;
};
using ComponentPtr = std::unique_ptr<Component, ComponentDeleter>;

}  // namespace lyra::test
