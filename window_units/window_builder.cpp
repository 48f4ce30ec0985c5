#include "window_units/window_builder.h"

#include <windows.h>

#include <map>
#include <vector>

#include "runtime/request_codes.h"
#include "runtime/runtime_app.h"
#include "runtime/runtime_state.h"
#include "window_units/component.h"
#include "window_units/loaded_template.h"
#include "window_units/mouse_pointers.h"
#include "window_units/system_dpi.h"

namespace lyra {

namespace {

constexpr UINT kFirstChildId = 100;
constexpr UINT kChildIdStep = 10;

struct CreatedUnit {
    UnitRecord* unit;
    bool show;
};

// A modal window being run: the windows it disabled, to be enabled again
// exactly once, when it goes or its loop ends. Window thread only.
struct ModalSession {
    uint32_t windowId;
    HWND owner;
    std::vector<HWND> disabled;
    bool ended;
};

std::vector<ModalSession*> gModalSessions;  // innermost last

void EndModalSession(ModalSession& session) {
    if (session.ended) return;
    session.ended = true;
    for (HWND window : session.disabled) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
}

// The modal loop runs while the innermost session has not ended.
void UpdateModalFlag() {
    TheRuntimeApplication().modalActive = !gModalSessions.empty() && !gModalSessions.back()->ended;
}

// A modal window disables every other top-level window of the program that
// is enabled now.
void DisableOtherWindows(const WindowRecord& self, ModalSession* session) {
    for (WindowRecord& other : LoadedTemplate().windows) {
        if (&other == &self || other.units.empty()) continue;
        HWND handle = UnitHandle(other.units[0]);
        if (handle == nullptr || !IsWindowEnabled(handle)) continue;
        EnableWindow(handle, FALSE);
        session->disabled.push_back(handle);
    }
}

void RunModal(WindowRecord& window, ModalSession& session) {
    gModalSessions.push_back(&session);
    UpdateModalFlag();
    if (UnitHandle(window.units[0]) != nullptr) TheRuntimeApplication().RunMessageLoop(1);
    EndModalSession(session);
    gModalSessions.pop_back();
    UpdateModalFlag();
    if (session.owner != nullptr && IsWindow(session.owner)) SetForegroundWindow(session.owner);
}

void RaiseWindowEvent(WindowRecord& window, int32_t eventNumber) {
    if (Component* self = window.units[0].object) self->RaiseEvent(eventNumber, {});
}

// Undoes a build that failed half-way: the window takes its children with it.
void AbandonBuild(WindowRecord& window) {
    if (HWND handle = UnitHandle(window.units[0])) DestroyWindow(handle);
    for (UnitRecord& unit : window.units) ReleaseUnit(unit);
}

Component* CreateUnit(UnitRecord& unit, const DataTypeRecord* type, HWND windowHandle, UINT childId,
                      uint32_t windowId, bool* show) {
    if (type == nullptr || type->getInterface == nullptr) return nullptr;
    auto create = reinterpret_cast<CreateOperation>(type->getInterface(kOpCreate));
    if (create == nullptr) return nullptr;
    *show = (type->stateFlags & kTypeNeverShown) == 0 && (unit.flags & kUnitVisible) != 0;
    DWORD style = 0;
    if (unit.flags & kUnitDisabled) style |= WS_DISABLED;
    if (unit.flags & kUnitTabStop) style |= WS_TABSTOP;
    CreateArgs args{};
    args.window = windowHandle;
    args.propertyBlock = unit.propertyBlock.data();
    args.propertyBlockSize = unit.propertyBlock.size();
    args.style = style;
    args.parent = windowHandle;
    args.childId = childId;
    args.menu = nullptr;
    args.left = ToPixels(unit.left);
    args.top = ToPixels(unit.top);
    args.width = ToPixels(unit.width);
    args.height = ToPixels(unit.height);
    args.windowId = windowId;
    args.unitId = unit.id;
    return create(args);
}

// Components inside a container become children of its window.
// The children listed after the first 0 entry of a paged container start hidden.
void ReparentUnits(WindowRecord& window, std::map<UnitRecord*, bool>& show) {
    for (UnitRecord& unit : window.units) {
        if (&unit == &window.units[0] || unit.isMenuItem() || unit.parentId == 0) continue;
        UnitRecord* parent = window.FindUnit(unit.parentId);
        HWND parentHandle = parent != nullptr ? UnitHandle(*parent) : nullptr;
        HWND handle = UnitHandle(unit);
        if (parentHandle == nullptr || handle == nullptr) continue;
        SetParent(handle, parentHandle);
        SetWindowPos(handle, nullptr, ToPixels(unit.left), ToPixels(unit.top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (UnitRecord& unit : window.units) {
        const DataTypeRecord* type = DataTypeRecordOf(unit.typeCode);
        if (unit.isMenuItem() || type == nullptr || (type->stateFlags & kTypePagedContainer) == 0) continue;
        bool laterPage = false;
        for (uint32_t child : unit.children) {
            if (child == 0) laterPage = true;
            else if (laterPage) {
                if (UnitRecord* hidden = window.FindUnit(child)) show[hidden] = false;
            }
        }
    }
}

// Siblings stack in table order, each right after the previous one
// of the same parent.
void StackUnits(WindowRecord& window) {
    std::map<HWND, HWND> previous;
    for (size_t i = 1; i < window.units.size(); ++i) {
        HWND handle = UnitHandle(window.units[i]);
        if (handle == nullptr) continue;
        HWND parent = GetParent(handle);
        auto last = previous.find(parent);
        SetWindowPos(handle, last == previous.end() ? HWND_TOP : last->second, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous[parent] = handle;
    }
}

bool BuildWindow(WindowRecord& window, HWND owner) {
    std::vector<CreatedUnit> created;
    std::map<UnitRecord*, bool> show;

    // The window first, then the components from the last to the first.
    UnitRecord& self = window.units[0];
    bool showWindow = false;
    self.object = CreateUnit(self, DataTypeRecordOf(self.typeCode), owner, 0, window.id, &showWindow);
    HWND windowHandle = UnitHandle(self);
    if (windowHandle == nullptr) {
        ReleaseUnit(self);
        return false;
    }
    UINT childId = kFirstChildId;
    for (size_t i = window.units.size(); i-- > 1;) {
        UnitRecord& unit = window.units[i];
        if (unit.isMenuItem()) continue;
        bool shown = false;
        unit.object = CreateUnit(unit, DataTypeRecordOf(unit.typeCode), windowHandle, childId, window.id, &shown);
        childId += kChildIdStep;
        if (UnitHandle(unit) == nullptr) {
            AbandonBuild(window);
            return false;
        }
        created.push_back(CreatedUnit{&unit, shown});
        show[&unit] = shown;
    }

    ReparentUnits(window, show);
    StackUnits(window);

    // Each created unit gets its mouse pointer.
    for (UnitRecord& unit : window.units) {
        if (!unit.isMenuItem() && UnitHandle(unit) != nullptr) unit.pointer = CreateMousePointer(unit.mousePointer);
    }

    // The private creation messages, last unit first, the window's own record last.
    for (size_t i = window.units.size(); i-- > 0;) {
        if (HWND handle = UnitHandle(window.units[i])) SendMessageW(handle, kUnitCreatedMessage, 0, 0);
    }
    SendMessageW(windowHandle, kWindowCreatedMessage, 0, 0);

    // Components shown or hidden, in creation order.
    for (const CreatedUnit& entry : created) {
        if (HWND handle = UnitHandle(*entry.unit)) ShowWindow(handle, show[entry.unit] ? SW_SHOWNA : SW_HIDE);
    }
    return true;
}

bool ShouldShowWindow(const WindowRecord& window) {
    const UnitRecord& self = window.units[0];
    const DataTypeRecord* type = DataTypeRecordOf(self.typeCode);
    return (self.flags & kUnitVisible) != 0 && (type == nullptr || (type->stateFlags & kTypeNeverShown) == 0);
}

}  // namespace

bool LoadWindow(uint32_t windowId, bool modal) {
    WindowRecord* window = LoadedTemplate().FindWindowRecord(windowId);
    if (window == nullptr || window->units.empty()) return false;

    // A window that exists is only brought forward.
    if (HWND existing = UnitHandle(window->units[0])) {
        if (IsIconic(existing)) ShowWindow(existing, SW_RESTORE);
        else SetForegroundWindow(existing);
        return true;
    }
    RuntimeApplication& app = TheRuntimeApplication();
    HWND owner = modal && app.mainWindow != nullptr && IsWindow(app.mainWindow) ? app.mainWindow : nullptr;

    // The window and its components are built with event delivery suspended
    // throughout: no routine sees a window half made.
    RuntimeRequest(kRequestSuspendEvents, 0, 0);
    bool built = BuildWindow(*window, owner);
    RuntimeRequest(kRequestResumeEvents, 0, 0);
    if (!built) return false;
    window->loaded = true;

    // The creation events, then the window shown; a routine may destroy the
    // window at any of them.
    HWND handle = UnitHandle(window->units[0]);
    if (app.mainWindow == nullptr || !IsWindow(app.mainWindow)) app.mainWindow = handle;
    RaiseWindowEvent(*window, kEventBuilt);
    if (UnitHandle(window->units[0]) != nullptr) RaiseWindowEvent(*window, kEventMoved);
    if (UnitHandle(window->units[0]) != nullptr) RaiseWindowEvent(*window, kEventResized);
    if (UnitHandle(window->units[0]) != nullptr && ShouldShowWindow(*window)) ShowWindow(handle, SW_SHOW);

    ModalSession session{windowId, owner, {}, false};
    if (modal && UnitHandle(window->units[0]) != nullptr) DisableOtherWindows(*window, &session);

    // The components finish their set-up; the focus stays where it was.
    if (UnitHandle(window->units[0]) != nullptr) {
        HWND focus = GetFocus();
        for (size_t i = window->units.size(); i-- > 1;) {
            if (HWND unitHandle = UnitHandle(window->units[i])) SendMessageW(unitHandle, kUnitsShownMessage, 0, 0);
        }
        if (GetFocus() != focus && focus != nullptr && IsWindow(focus)) SetFocus(focus);
    }
    if (modal) RunModal(*window, session);
    return true;
}

void ForgetDestroyedUnit(uint32_t windowId, uint32_t unitId) {
    WindowRecord* window = LoadedTemplate().FindWindowRecord(windowId);
    if (window == nullptr) return;
    if (unitId != 0 && unitId != kWindowUnitId) {
        if (UnitRecord* unit = window->FindUnit(unitId)) ReleaseUnit(*unit);
        return;
    }
    for (UnitRecord& unit : window->units) ReleaseUnit(unit);
    // A modal window that goes ends its loop and gives the others back.
    for (ModalSession* session : gModalSessions) {
        if (session->windowId == windowId) EndModalSession(*session);
    }
    UpdateModalFlag();
    bool wasLoaded = window->loaded;
    window->loaded = false;
    RuntimeApplication& app = TheRuntimeApplication();
    if (app.mainWindow != nullptr && !IsWindow(app.mainWindow)) app.mainWindow = nullptr;
    // The program ends when its last window is gone; a build that failed
    // half-way leaves the ending to the error it reports.
    if (wasLoaded && !Runtime().shuttingDown.load() && !AnyWindowExists()) {
        Runtime().programEnding.store(true);
        PostQuitMessage(0);
    }
}

// The windows go; the records and the component objects stay until the
// process ends, since workers may still be running (runtime/threading.h).
void ReleaseLoadedTemplate() {
    WindowTemplate& loaded = LoadedTemplate();
    for (WindowRecord& window : loaded.windows) {
        if (window.units.empty()) continue;
        if (HWND handle = UnitHandle(window.units[0])) DestroyWindow(handle);
        for (UnitRecord& unit : window.units) ReleaseUnit(unit);
    }
}

}  // namespace lyra
