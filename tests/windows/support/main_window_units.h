// The program's main window built in-process from its real window
// template: the window unit and every component on it, each from its own
// property block, inside its container. Events go to the component host's
// stand-in (component_host.h); nothing else of the runtime is needed.
#pragma once

#include <windows.h>

#include <vector>

#include "data/unit_ids.h"
#include "data/window_template.h"
#include "test_support/component_host.h"
#include "window_units/components/edit_box.h"
#include "window_units/components/group_box.h"
#include "window_units/components/hyper_linker.h"
#include "window_units/components/label.h"
#include "window_units/components/list_view.h"
#include "window_units/components/super_btn.h"
#include "window_units/components/window.h"
#include "window_units/template_format.h"

namespace lyra::test {

class MainWindowUnits {
public:
    MainWindowUnits() {
        window_ = ProgramWindowTemplate().windows.front();
        // The window first, then the containers, so that every component
        // is made inside its parent.
        Create(window_.units.front(), nullptr);
        for (const UnitRecord& unit : window_.units) {
            if (unit.typeCode == kTypeCodeGroupBox) Create(unit, Handle(kWindowUnitId));
        }
        for (const UnitRecord& unit : window_.units) {
            if (unit.id == kWindowUnitId || unit.typeCode == kTypeCodeGroupBox) continue;
            Create(unit, Handle(unit.parentId != 0 ? unit.parentId : kWindowUnitId));
        }
        for (size_t n = 1; n < created_.size(); ++n) {
            if (created_[n].flags & kUnitVisible) ShowWindow(created_[n].component->Handle(), SW_SHOWNA);
        }
        ShowWindow(Handle(kWindowUnitId), SW_SHOWNORMAL);
        UpdateWindow(Handle(kWindowUnitId));
        PumpWaiting();
    }

    Component* Unit(uint32_t id) const {
        for (const Created& c : created_) {
            if (c.id == id) return c.component.get();
        }
        return nullptr;
    }
    HWND Handle(uint32_t id) const {
        Component* unit = Unit(id);
        return unit != nullptr ? unit->Handle() : nullptr;
    }
    HWND Main() const { return Handle(kWindowUnitId); }

    // Destroys every window; the component objects stay until the end.
    void DestroyWindows() {
        DestroyWindow(Main());
        PumpWaiting();
    }

private:
    struct Created {
        uint32_t id;
        uint32_t flags;
        ComponentPtr component;
    };

    static GetInterfaceFunction InterfaceOf(uint32_t typeCode) {
        switch (typeCode) {
            case kTypeCodeWindow: return &WindowInterface;
            case kTypeCodeEditBox: return &EditBoxInterface;
            case kTypeCodeGroupBox: return &GroupBoxInterface;
            case kTypeCodeLabel: return &LabelInterface;
            case kTypeCodeHyperLinker: return &HyperLinkerInterface;
            case kTypeCodeListView: return &ListViewInterface;
            case kTypeCodeSuperBtn: return &SuperBtnInterface;
            default: return nullptr;
        }
    }

    void Create(const UnitRecord& unit, HWND parent) {
        auto create = reinterpret_cast<CreateOperation>(InterfaceOf(unit.typeCode)(kOpCreate));
        CreateArgs args = MakeCreateArgs(parent, unit.propertyBlock, unit.id, unit.left, unit.top, unit.width,
                                         unit.height);
        args.style = (unit.flags & kUnitTabStop) ? WS_TABSTOP : 0;
        args.childId = 100 + 10 * static_cast<UINT>(created_.size());
        created_.push_back(Created{unit.id, unit.flags, ComponentPtr(create(args))});
    }

    WindowRecord window_;
    std::vector<Created> created_;
};

}  // namespace lyra::test
