// The get, set, save and creation that every component type shares, over
// the type's one table of own properties (window_units/property_rows.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "window_units/component.h"
#include "window_units/component_support.h"
#include "window_units/components/window_thread.h"
#include "window_units/property_rows.h"

namespace lyra {

template <typename Properties>
void ReadRow(const PropertyRow<Properties>& row, Properties& properties, PropertyValue* value) {
    void* field = row.field(properties);
    switch (row.form) {
        case FieldForm::kWord: value->number = *static_cast<uint32_t*>(field); break;
        case FieldForm::kSigned: value->number = *static_cast<int32_t*>(field); break;
        case FieldForm::kText: value->bytes = *static_cast<std::string*>(field); break;
        case FieldForm::kBlock: {
            const auto& block = *static_cast<std::vector<uint8_t>*>(field);
            value->bytes.assign(block.begin(), block.end());
            break;
        }
    }
}

template <typename Properties>
void WriteRow(const PropertyRow<Properties>& row, Properties& properties, const PropertyValue& value) {
    void* field = row.field(properties);
    int32_t number = static_cast<int32_t>(value.number);
    if (row.normalise != nullptr) number = row.normalise(number);
    switch (row.form) {
        case FieldForm::kWord: *static_cast<uint32_t*>(field) = static_cast<uint32_t>(number); break;
        case FieldForm::kSigned: *static_cast<int32_t*>(field) = number; break;
        case FieldForm::kText: *static_cast<std::string*>(field) = value.bytes; break;
        case FieldForm::kBlock:
            static_cast<std::vector<uint8_t>*>(field)->assign(value.bytes.begin(), value.bytes.end());
            break;
    }
}

// A component whose own properties are the rows of one table. Reads and
// writes run on the window's thread, whichever thread asks.
template <typename Properties>
class TableComponent : public Component {
public:
    bool GetProperty(int ownNumber, PropertyValue* value) final {
        if (!HasRow(ownNumber)) return false;
        RunOnWindowThread(Handle(), [&] { ReadAsShown(ownNumber, properties_, value); });
        return true;
    }

    bool SetProperty(int ownNumber, const PropertyValue& value) final {
        if (!HasRow(ownNumber)) return false;
        RunOnWindowThread(Handle(), [&] {
            const PropertyRow<Properties>& row = table_.rows[ownNumber];
            WriteRow(row, properties_, value);
            Reapply(ownNumber, row.reapply & ~kSharedRowBits);
        });
        return true;
    }

    // The block as the component stands: rows that read the live control
    // and are saved so hold what a read answers.
    std::vector<uint8_t> PropertyData() override {
        std::vector<uint8_t> data;
        RunOnWindowThread(Handle(), [&] {
            Properties saved = properties_;
            for (size_t n = 0; n < table_.count; ++n) {
                const uint32_t bits = table_.rows[n].reapply;
                const bool savedLive = (bits & (kReadLive | kSaveLive)) == (kReadLive | kSaveLive);
                if ((bits & kReadWindowText) == 0 && !savedLive) continue;
                PropertyValue value;
                ReadAsShown(static_cast<int>(n), saved, &value);
                WriteRow(table_.rows[n], saved, value);
            }
            data = WriteBlock(table_, saved);
        });
        return data;
    }

    // An empty block leaves the type's defaults; false for a block the
    // table refuses.
    bool ReadPropertyBlock(const uint8_t* block, size_t size) {
        return size == 0 || ReadBlock(table_, block, size, &properties_);
    }

protected:
    TableComponent(uint32_t windowId, uint32_t unitId, const PropertyTable<Properties>& table)
        : Component(windowId, unitId), table_(table) {}

    // After own property n was written: re-apply what the row's bits name.
    virtual void Reapply(int ownNumber, uint32_t what) = 0;
    // The live value of a row marked kReadLive; false reads the stored one.
    virtual bool ReadLive(int, PropertyValue*) { return false; }

    Properties properties_;

private:
    bool HasRow(int ownNumber) const { return ownNumber >= 0 && static_cast<size_t>(ownNumber) < table_.count; }

    void ReadAsShown(int ownNumber, Properties& stored, PropertyValue* value) {
        const PropertyRow<Properties>& row = table_.rows[ownNumber];
        if ((row.reapply & kReadWindowText) != 0 && Handle() != nullptr) value->bytes = WindowTextGbk(Handle());
        else if ((row.reapply & kReadLive) == 0 || !ReadLive(ownNumber, value)) ReadRow(row, stored, value);
    }

    const PropertyTable<Properties>& table_;
};

// The one way a component is built from its unit: the type's block read
// into a new component of Type, then its control created; null when the
// block is refused or the control cannot be made.
template <typename Type>
Component* CreateFromBlock(const CreateArgs& args) {
    auto* component = new Type(args.windowId, args.unitId);
    if (!component->ReadPropertyBlock(args.propertyBlock, args.propertyBlockSize) || !component->Create(args)) {
        delete component;
        return nullptr;
    }
    return component;
}

}  // namespace lyra
