// The own properties of a component type as one table, and the get and set
// that every type shares.
//
// Row n of a type's table is own property n: the member of the type's
// property record that holds it, and what a write re-applies to the live
// control (bits of the type's own choosing, handed back to the type). The
// value's form follows from the member: a 32-bit word (unsigned or signed),
// a text or a block of bytes.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "window_units/component.h"
#include "window_units/component_support.h"
#include "window_units/components/window_thread.h"

namespace lyra {

enum class FieldForm { kWord, kSigned, kText, kBlock };

// Re-apply bits the shared get and set act on themselves; a type's own bits
// stay below them.
constexpr uint32_t kReadWindowText = 1u << 31;  // a read answers the live window's text
constexpr uint32_t kReadLive = 1u << 30;        // a read asks the type (ReadLive)

template <typename Properties>
struct PropertyRow {
    FieldForm form;
    void* (*field)(Properties&);    // the member that holds the value
    uint32_t reapply;               // what a write re-applies, and the read bits above
    int32_t (*normalise)(int32_t);  // written numbers pass through this first, or null
};

namespace property_rows {

template <typename Field>
constexpr FieldForm FormOf() {
    if constexpr (std::is_same_v<Field, uint32_t>) return FieldForm::kWord;
    else if constexpr (std::is_same_v<Field, int32_t>) return FieldForm::kSigned;
    else if constexpr (std::is_same_v<Field, std::string>) return FieldForm::kText;
    else {
        static_assert(std::is_same_v<Field, std::vector<uint8_t>>, "a property member is a word, a text or a block");
        return FieldForm::kBlock;
    }
}

template <typename Member>
struct MemberTraits;
template <typename Properties, typename Field>
struct MemberTraits<Field Properties::*> {
    using Record = Properties;
    using Type = Field;
};
template <typename Properties, typename Field>
struct MemberTraits<Field& (*)(Properties&)> {
    using Record = Properties;
    using Type = Field;
};

template <auto Member, typename Record>
void* Locate(Record& properties) {
    if constexpr (std::is_member_object_pointer_v<decltype(Member)>) return &(properties.*Member);
    else return &Member(properties);
}

}  // namespace property_rows

// The row of a property held in Member: a data member of the property
// record, or a function answering a reference into it (for members of
// members).
template <auto Member>
constexpr auto Row(uint32_t reapply = 0, int32_t (*normalise)(int32_t) = nullptr) {
    using Traits = property_rows::MemberTraits<decltype(Member)>;
    using Record = typename Traits::Record;
    return PropertyRow<Record>{property_rows::FormOf<typename Traits::Type>(),
                               &property_rows::Locate<Member, Record>, reapply, normalise};
}

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
        if (ownNumber < 0 || static_cast<size_t>(ownNumber) >= rowCount_) return false;
        RunOnWindowThread(Handle(), [&] {
            const PropertyRow<Properties>& row = rows_[ownNumber];
            if ((row.reapply & kReadWindowText) != 0 && Handle() != nullptr) value->bytes = WindowTextGbk(Handle());
            else if ((row.reapply & kReadLive) != 0 && ReadLive(ownNumber, value)) return;
            else ReadRow(row, properties_, value);
        });
        return true;
    }

    bool SetProperty(int ownNumber, const PropertyValue& value) final {
        if (ownNumber < 0 || static_cast<size_t>(ownNumber) >= rowCount_) return false;
        RunOnWindowThread(Handle(), [&] {
            const PropertyRow<Properties>& row = rows_[ownNumber];
            WriteRow(row, properties_, value);
            Reapply(ownNumber, row.reapply & ~(kReadWindowText | kReadLive));
        });
        return true;
    }

protected:
    template <size_t RowCount>
    TableComponent(uint32_t windowId, uint32_t unitId, const PropertyRow<Properties> (&rows)[RowCount],
                   const Properties& properties = Properties())
        : Component(windowId, unitId), properties_(properties), rows_(rows), rowCount_(RowCount) {}

    // After own property n was written: re-apply what the row's bits name.
    virtual void Reapply(int ownNumber, uint32_t what) = 0;
    // The live value of a row marked kReadLive; false reads the stored one.
    virtual bool ReadLive(int, PropertyValue*) { return false; }

    Properties properties_;

private:
    const PropertyRow<Properties>* rows_;
    size_t rowCount_;
};

}  // namespace lyra
