// The application's constant segment: the literals that may be handed to the
// memory services as blocks (the empty text, the (1, 0) block an array
// variable starts from, the build-time addresses), which therefore treat them
// as static (never freed, copied out on resize). The application's other
// literals are only ever passed as borrowed arguments or copied into blocks
// of their own (OwnedText::CopyOf), so they stay ordinary constants.
#pragma once

#include <cstdint>

namespace lyra {

struct ConstantSegment {
    char emptyText[1];
    int32_t emptyArray[2];  // the (1, 0) block an array variable starts from
    char lookupBase[160];  // "http://" and the lookup host
    char announcementUrl[256];
    char makerUrl[256];
};

extern const ConstantSegment kConstants;

}  // namespace lyra
