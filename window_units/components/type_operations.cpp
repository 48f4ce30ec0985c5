#include "window_units/components/type_operations.h"

#include <cstring>

#include "runtime/memory.h"

namespace lyra {

bool GetPropertyOp(Component* component, int ownNumber, PropertyValue* value) {
    return component != nullptr && value != nullptr && component->GetProperty(ownNumber, value);
}

bool SetPropertyOp(Component* component, int ownNumber, const PropertyValue& value) {
    return component != nullptr && component->SetProperty(ownNumber, value);
}

void* PropertyDataOp(Component* component) {
    if (component == nullptr) return nullptr;
    std::vector<uint8_t> data = component->PropertyData();
    uint32_t size = static_cast<uint32_t>(data.size());
    auto* block = static_cast<uint8_t*>(AllocMemory(4 + data.size()));
    std::memcpy(block, &size, 4);
    if (!data.empty()) std::memcpy(block + 4, data.data(), data.size());
    return block;
}

void* TypeInterface(int operation, CreateOperation create, KeyFilterOperation keyFilter) {
    switch (operation) {
        case kOpCreate: return reinterpret_cast<void*>(create);
        case kOpPropertyChanged: return reinterpret_cast<void*>(&SetPropertyOp);
        case kOpGetAllPropertyData: return reinterpret_cast<void*>(&PropertyDataOp);
        case kOpGetProperty: return reinterpret_cast<void*>(&GetPropertyOp);
        case kOpKeyFilter: return keyFilter != nullptr ? reinterpret_cast<void*>(keyFilter) : nullptr;
        default: return nullptr;
    }
}

}  // namespace lyra
