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

// The record of request 2008: an event with 32-bit arguments.
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

    // Raises an event through the runtime (request 2008) on the window
    // thread. True when a routine ran and returned a value (*result).
    bool RaiseEvent(int32_t eventNumber, std::initializer_list<uint32_t> arguments, uint32_t* result = nullptr);

private:
    uint32_t windowId_;
    uint32_t unitId_;
};

using CreateOperation = Component* (*)(const CreateArgs& args);
using GetPropertyOperation = bool (*)(Component* component, int ownNumber, PropertyValue* value);
using SetPropertyOperation = bool (*)(Component* component, int ownNumber, const PropertyValue& value);
// A new heap block from AllocMemory: u32 size, then the property block.
using PropertyDataOperation = void* (*)(Component* component);
// Answers true when the component wants the key message for itself.
using KeyFilterOperation = bool (*)(Component* component, const MSG& message);

}  // namespace lyra
