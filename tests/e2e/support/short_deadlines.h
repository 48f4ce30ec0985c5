// The limits of the program build whose page exchange ends after 6 s rather
// than 60 s, for the hostile servers.
#pragma once

#include "app/page_limits.h"

namespace lyra::test {

inline constexpr app::PageLimits kShortDeadlineLimits = [] {
    app::PageLimits limits;
    limits.exchangeDeadlineMs = 6000;
    return limits;
}();

}  // namespace lyra::test
