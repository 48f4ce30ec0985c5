// The own properties of a component type as one table: row n is own
// property n, with its names and kind as the type table describes it, the
// member of the type's property record that holds it, and what a write
// re-applies to the live control (bits of the type's own choosing, handed
// back to the type). The descriptions in the program image, the get and
// set of the live component and the property block all come from it.
//
// Platform-free: the host template compiler writes blocks from the tables.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "runtime/program_image.h"
#include "window_units/property_block.h"

namespace lyra {

// Row bits the shared get, set and save act on themselves; a type's own
// re-apply bits stay below them.
constexpr uint32_t kReadWindowText = 1u << 31;  // a read and the saved block take the live window's text
constexpr uint32_t kReadLive = 1u << 30;        // a read asks the type (ReadLive)
constexpr uint32_t kSaveLive = 1u << 29;        // with kReadLive: the saved block takes the live value too
constexpr uint32_t kSharedRowBits = kReadWindowText | kReadLive | kSaveLive;

template <typename Properties>
struct PropertyRow {
    using Record = Properties;
    const char* name;  // GBK
    const char* englishName;
    PropertyKind kind;
    FieldForm form;
    void* (*field)(Properties&);    // the member that holds the value
    uint32_t reapply;               // what a write re-applies, and the shared bits above
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

// Texts live in std::string; numbers, colours, choices and switches in a
// word; fonts, pictures, sounds and data in counted bytes.
template <typename Field>
constexpr bool FitsKind(PropertyKind kind) {
    constexpr bool word = std::is_same_v<Field, uint32_t> || std::is_same_v<Field, int32_t>;
    constexpr bool bytes = std::is_same_v<Field, std::string> || std::is_same_v<Field, std::vector<uint8_t>>;
    if (kind == kKindText) return std::is_same_v<Field, std::string>;
    if (IsIntegerKind(kind) || kind == kKindLogical) return word;
    if (IsBinaryKind(kind) || kind == kKindFont) return bytes;
    return false;
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

// The row of a property of the given kind held in Member: a data member of
// the property record, or a function answering a reference into it (for
// members of members).
template <auto Member, PropertyKind Kind>
constexpr auto Row(const char* name, const char* englishName, uint32_t reapply = 0,
                   int32_t (*normalise)(int32_t) = nullptr) {
    using Traits = property_rows::MemberTraits<decltype(Member)>;
    using Record = typename Traits::Record;
    static_assert(property_rows::FitsKind<typename Traits::Type>(Kind), "the member's form does not hold the kind");
    return PropertyRow<Record>{name,
                               englishName,
                               Kind,
                               property_rows::FormOf<typename Traits::Type>(),
                               &property_rows::Locate<Member, Record>,
                               reapply,
                               normalise};
}

// A type's rows with its block version and their descriptions. The block
// holds the rows in their order unless blockOrder lists them otherwise;
// finishRead, when set, clamps and checks what a block gave (false refuses
// the block).
template <typename Properties>
struct PropertyTable {
    uint32_t version;
    const PropertyRow<Properties>* rows;
    uint32_t count;
    const PropertyDescription* descriptions;  // count of them, as the program image records them
    bool (*finishRead)(Properties*);
    const uint8_t* blockOrder;

    const PropertyRow<Properties>& InBlockOrder(size_t i) const {
        return rows[blockOrder != nullptr ? blockOrder[i] : i];
    }
};

namespace property_rows {

template <typename Properties, size_t RowCount>
constexpr std::array<PropertyDescription, RowCount> Describe(const PropertyRow<Properties> (&rows)[RowCount]) {
    std::array<PropertyDescription, RowCount> descriptions{};
    for (size_t i = 0; i < RowCount; ++i) {
        descriptions[i] = {rows[i].name, rows[i].englishName, "", rows[i].kind, 0, nullptr};
    }
    return descriptions;
}

template <const auto& Rows>
inline constexpr auto kDescriptionsOf = Describe(Rows);

template <const auto& Rows>
using RecordOf = typename std::remove_cv_t<std::remove_reference_t<decltype(Rows[0])>>::Record;

}  // namespace property_rows

// The table of a type whose rows are Rows.
template <const auto& Rows>
constexpr PropertyTable<property_rows::RecordOf<Rows>> TableOf(
    uint32_t version, bool (*finishRead)(property_rows::RecordOf<Rows>*) = nullptr,
    const uint8_t* blockOrder = nullptr) {
    return {version, Rows, static_cast<uint32_t>(std::size(Rows)), property_rows::kDescriptionsOf<Rows>.data(),
            finishRead, blockOrder};
}

// True when a block order names each of its rows exactly once.
template <size_t RowCount>
constexpr bool NamesEveryRowOnce(const uint8_t (&order)[RowCount]) {
    for (size_t row = 0; row < RowCount; ++row) {
        size_t seen = 0;
        for (uint8_t n : order) seen += n == row ? 1 : 0;
        if (seen != 1) return false;
    }
    return true;
}

template <typename Properties>
std::vector<uint8_t> WriteBlock(const PropertyTable<Properties>& table, const Properties& properties) {
    std::vector<uint8_t> bytes = BlockHeader(table.version);
    auto& record = const_cast<Properties&>(properties);  // only read
    for (size_t i = 0; i < table.count; ++i) {
        const PropertyRow<Properties>& row = table.InBlockOrder(i);
        AppendField(row.form, row.field(record), bytes);
    }
    return bytes;
}

// False, leaving *properties alone, for a block the rule above refuses.
template <typename Properties>
bool ReadBlock(const PropertyTable<Properties>& table, const uint8_t* data, size_t size, Properties* properties) {
    Properties read;
    bool whole = ReadsWhole(data, size, [&](framework::MemoryArchive& archive) {
        if (!ReadBlockHeader(archive, table.version)) return false;
        for (size_t i = 0; i < table.count; ++i) {
            const PropertyRow<Properties>& row = table.InBlockOrder(i);
            ReadField(row.form, row.field(read), archive);
        }
        return true;
    });
    if (!whole || (table.finishRead != nullptr && !table.finishRead(&read))) return false;
    *properties = std::move(read);
    return true;
}

}  // namespace lyra
