#include "app/page_limits.h"

namespace lyra::app {

const PageLimits kPageLimits{};

}  // namespace lyra::app
