// The value kinds of the property descriptions: they decide how
// ReadProperty hands a value out, and which member form may hold it.
#pragma once

#include <cstdint>

namespace lyra {

enum PropertyKind : uint16_t {
    kKindInteger = 1000,
    kKindColour = 1001,
    kKindLong = 1002,
    kKindLogical = 1003,
    kKindDateTime = 1004,
    kKindText = 1005,
    kKindChoice = 1006,
    kKindData = 1009,
    kKindPicture = 1010,
    kKindMousePointer = 1011,
    kKindSound = 1012,
    kKindFont = 1013,
    // Kinds no type of this program describes, named by the form a read gives them.
    kKindWord1014 = 1014,
    kKindWord1015 = 1015,
    kKindWord1017 = 1017,
    kKindData1023 = 1023,
    kKindData1024 = 1024,
};

// A read answers one 32-bit word.
constexpr bool IsIntegerKind(uint16_t kind) {
    return kind == kKindInteger || kind == kKindColour || kind == kKindChoice || kind == kKindWord1014 ||
           kind == kKindWord1015 || kind == kKindWord1017;
}
// A read answers two words.
constexpr bool Is64BitKind(uint16_t kind) { return kind == kKindLong || kind == kKindDateTime; }
// A read answers a byte set.
constexpr bool IsBinaryKind(uint16_t kind) {
    return kind == kKindData || kind == kKindPicture || kind == kKindSound || kind == kKindData1023 ||
           kind == kKindData1024 || kind == kKindMousePointer;
}

}  // namespace lyra
