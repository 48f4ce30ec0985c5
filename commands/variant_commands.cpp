// Commands on Variant values: conversion to text and reset.
#include <cstring>

#include "commands/com_object.h"
#include "commands/com_values.h"

namespace lyra {

void VariantToText(ValueRecord* result, int32_t count, ValueRecord* args) {
    SetRecordPointer(*result, nullptr, 0);
    const VARIANT* variant = count >= 1 ? com::VariantBlockOf(args[0]) : nullptr;
    if (variant == nullptr) return;
    ValueRecord text = EmptyRecord();
    bool converted;
    if ((variant->vt & VT_ARRAY) != 0) {
        bool numbered = count >= 2 && IsPresent(args[1]);
        converted = numbered && com::ArrayElementToRecord(*variant, com::NumericArgument(args[1]), kTypeText, &text);
    } else {
        converted = com::VariantToRecord(*variant, kTypeText, &text);
    }
    if (converted) SetRecordPointer(*result, RecordPointer(text), 0);
}

void VariantReset(ValueRecord*, int32_t count, ValueRecord* args) {
    VARIANT* variant = count >= 1 ? com::VariantBlockOf(args[0]) : nullptr;
    if (variant == nullptr) return;
    VariantClear(variant);
    std::memset(variant, 0, sizeof(VARIANT));
}

}  // namespace lyra
