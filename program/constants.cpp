#include "program/constants.h"

namespace lyra {

const ConstantSegment kConstants = {
    "",
    {1, 0},
    "http://" LYRABOX_LOOKUP_HOST,
    LYRABOX_ANNOUNCEMENT_URL,
    LYRABOX_MAKER_URL,
};

}  // namespace lyra
