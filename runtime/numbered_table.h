// Tables indexed by a number (routines, commands, data types) built from
// {slot, entry} pairs. Bound to a constexpr variable, a table with a slot
// left empty, a slot filled twice or a slot past its end does not compile:
// the evaluation reaches NumberedTableSlotEmptyOrFilledTwice, which is not
// constexpr.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lyra {

template <typename Entry>
struct NumberedSlot {
    uint32_t slot;
    Entry entry;
};

void NumberedTableSlotEmptyOrFilledTwice();

template <typename Entry, size_t Count, size_t Given>
constexpr std::array<Entry, Count> NumberedTable(const NumberedSlot<Entry> (&slots)[Given]) {
    std::array<Entry, Count> table{};
    std::array<bool, Count> filled{};
    for (const NumberedSlot<Entry>& slot : slots) {
        if (slot.slot >= Count || filled[slot.slot]) NumberedTableSlotEmptyOrFilledTwice();
        table[slot.slot] = slot.entry;
        filled[slot.slot] = true;
    }
    for (bool isFilled : filled) {
        if (!isFilled) NumberedTableSlotEmptyOrFilledTwice();
    }
    return table;
}

}  // namespace lyra
