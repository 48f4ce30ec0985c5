// The application's constant segment: every literal of the application
// code lives in this one block, so the memory services treat them as static
// blocks (never freed, copied out on resize).
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
