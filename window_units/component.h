// The contract between the window units and the component types.
//
// A component type is a data-type record whose getInterface operation hands
// out the type's operations by number. A live component is a window object
// attached to its control's window handle; the loaded template keeps the
// pointer in the unit record's object slot.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "runtime/framework/window_object.h"
#include "runtime/values.h"
#include "window_units/accessibility.h"
#include "window_units/event_numbers.h"

namespace lyra {

// Operation numbers of a type's getInterface.
enum TypeOperation {
    kOpCreate = 1,               // CreateOperation
    kOpPropertyChanged = 4,      // SetPropertyOperation
    kOpGetAllPropertyData = 5,   // PropertyDataOperation
    kOpGetProperty = 6,          // GetPropertyOperation
    kOpKeyFilter = 9,            // KeyFilterOperation
};

// A property value as a component type stores it. The window units convert
// it for ReadProperty by the property's value kind: numbers, colours and
// logical values use number; texts (GBK, no terminator) and binary data
// (fonts, pictures, blocks) use bytes.
struct PropertyValue {
    int64_t number = 0;
    std::string bytes;
};

struct CreateArgs {
    HWND window;        // the window the component is placed on; for the window record its parent (null here)
    const uint8_t* propertyBlock;
    size_t propertyBlockSize;
    DWORD style;        // the bits chosen by the window builder: WS_DISABLED, WS_TABSTOP
    HWND parent;
    UINT childId;
    HMENU menu;         // window record only
    int left, top, width, height;
    uint32_t windowId;
    uint32_t unitId;
};

// The record of kRequestRaiseTypedEvent: an event with typed arguments (16-byte typed
// call records); the result is 64 bits, low word first.
struct TypedEventRequest {
    uint32_t windowId;
    uint32_t unitId;
    int32_t eventNumber;
    uint32_t argumentCount;  // 0 to 12
    TypedCallRecord arguments[12];
    uint32_t hasResult;
    uint32_t result[2];
};

// A font property read whole (sub-index -1), in a block from AllocMemory.
// The caller frees faceName, then the record.
struct FontRecord {
    int32_t angle;      // tenths of a degree (LOGFONT orientation)
    int32_t bold;       // weight 700 or more
    int32_t italic;
    int32_t strikeOut;
    int32_t underline;
    int32_t pointSize;
    char* faceName;     // GBK text or null
};

// Notifications that a parent window receives from a child control
// (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM, WM_HSCROLL, ...) are
// sent back to the control's own component as kReflectedMessageBase +
// message, with the same wParam and lParam, so that each type handles its
// own notifications (BN_CLICKED, EN_CHANGE, NM_DBLCLK, colours).
constexpr UINT kReflectedMessageBase = 0x2000;

// Called by a parent component for every message it receives: when the
// message is a notification from a child control that has a component, the
// component answers it and this returns true with its answer. A WM_CTLCOLOR*
// answer of 0 counts as not answered, so the parent colours the control.
bool ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// Private messages sent while a window is built (see LoadWindow).
constexpr UINT kUnitCreatedMessage = 0x806F;     // every unit, last unit first
constexpr UINT kWindowCreatedMessage = 0x8004;   // the window
constexpr UINT kUnitsShownMessage = 0x8076;      // every component, last unit first

// The record of kRequestRaiseEvent: an event with 32-bit arguments.
struct EventRequest {
    uint32_t windowId;
    uint32_t unitId;
    int32_t eventNumber;
    uint32_t argumentCount;
    uint32_t arguments[5];
    uint32_t hasResult;
    uint32_t result;
};

class Component : public framework::WindowObject {
public:
    Component(uint32_t windowId, uint32_t unitId) : windowId_(windowId), unitId_(unitId) {}

    uint32_t windowId() const { return windowId_; }
    uint32_t unitId() const { return unitId_; }

    // Own property n (the number ReadProperty sees minus 8). False for a
    // number the type does not have.
    virtual bool GetProperty(int ownNumber, PropertyValue* value) = 0;
    virtual bool SetProperty(int ownNumber, const PropertyValue& value) = 0;
    // The property block as this type writes it (20 zero bytes, version, fields).
    virtual std::vector<uint8_t> PropertyData() = 0;

    // Raises an event through the runtime (kRequestRaiseEvent) on the window
    // thread. True when a routine ran and returned a value (*result).
    bool RaiseEvent(int32_t eventNumber, std::initializer_list<uint32_t> arguments, uint32_t* result = nullptr);

    // Translates the common events (mouse, keys, characters, wheel: -1..-6,
    // -9..-12) of messages addressed to this component's own window before
    // they are dispatched. True swallows the message; a character event may
    // rewrite message.wParam.
    bool PreTranslateMessage(MSG& message) override;

    // How a screen reader sees the component, on the window thread; false
    // leaves the control's own (the system's) accessible object.
    virtual bool DescribeForScreenReader(AccessibleFacts*) { return false; }
    // What a screen reader's default action does; false when there is none.
    // It returns at once: whatever the action opens runs later.
    virtual bool DoDefaultAction() { return false; }

protected:
    // Tells the runtime (kRequestUnitDestroyed) that the unit's window is gone; the
    // object is released later by the window units. A type that overrides
    // this calls it last.
    void OnFinalDestroy() override;
    // The answer to WM_GETOBJECT: the component's accessible object for its
    // client area when it describes itself, else the control's own answer.
    LRESULT AnswerGetObject(WPARAM wParam, LPARAM lParam);
    // The control's own answer to the message first, then the event, so that
    // a routine sees the message's effect (the focus moved, the window shown).
    LRESULT AnswerThenRaise(UINT message, WPARAM wParam, LPARAM lParam, int32_t eventNumber);

private:
    uint32_t windowId_;
    uint32_t unitId_;
    AccessibleSlot accessible_;
};

// True when the window, or any window it sits in, is disabled. Such a unit
// takes no key or mouse input and raises no key or mouse events, even when
// it still holds the focus (disabling a container leaves the focus where it
// was, in a child that looks enabled).
bool InputDisabled(HWND window);

using CreateOperation = Component* (*)(const CreateArgs& args);
using GetPropertyOperation = bool (*)(Component* component, int ownNumber, PropertyValue* value);
using SetPropertyOperation = bool (*)(Component* component, int ownNumber, const PropertyValue& value);
// A new heap block from AllocMemory: u32 size, then the property block.
using PropertyDataOperation = void* (*)(Component* component);
// Answers true when the component wants the key message for itself.
using KeyFilterOperation = bool (*)(Component* component, const MSG& message);

}  // namespace lyra
