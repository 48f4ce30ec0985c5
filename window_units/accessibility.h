// What a screen reader learns of a component, through Microsoft Active
// Accessibility: a component that describes itself answers WM_GETOBJECT
// for its client area with an IAccessible of ours. Its role, name, value,
// description and default action are the component's own; location,
// state, navigation and the children (a list's rows) are the system's
// standard object's, which answers those alike on every system.
#pragma once

#include <windows.h>

#include <string>

namespace lyra {

class Component;

// What a component says of itself.
struct AccessibleFacts {
    long role = 0;               // ROLE_SYSTEM_*
    std::wstring name;
    bool hasValue = false;       // no value: the call answers that there is none
    std::wstring value;
    std::wstring description;
    std::wstring defaultAction;  // empty: none
};

class AccessibleObject;

// The accessible object of one component, made on the first WM_GETOBJECT
// and handed to every later asker. When the component's window goes, or
// the component does, the object is disconnected: whoever still holds it
// gets CO_E_OBJNOTCONNECTED from every call, and the component is never
// touched again through it.
class AccessibleSlot {
public:
    AccessibleSlot() = default;
    ~AccessibleSlot() { Disconnect(); }
    AccessibleSlot(const AccessibleSlot&) = delete;
    AccessibleSlot& operator=(const AccessibleSlot&) = delete;

    // The answer to WM_GETOBJECT for the component's window; false when
    // the system's own object should answer instead (another object id,
    // or no accessibility library).
    bool Answer(Component* component, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void Disconnect();

private:
    AccessibleObject* object_ = nullptr;  // one reference, ours
};

// A label's caption as a name: without its decoration (blanks, stars) and
// without the colon that ends it.
std::wstring NameOfCaption(const std::wstring& caption);

}  // namespace lyra
