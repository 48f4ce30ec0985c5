#include "app/page_limits.h"
#include "tests/e2e/support/short_deadlines.h"

namespace lyra::app {

const PageLimits kPageLimits = test::kShortDeadlineLimits;

}  // namespace lyra::app
