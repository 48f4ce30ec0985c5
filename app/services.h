// The application's typed view of the runtime services: argument records
// built and results freed in one place, so routines read like what they do.
#pragma once

#include "runtime/services.h"
#include "runtime/values.h"

namespace lyra::app {

inline const ServiceTable& Services() { return kServices; }

}  // namespace lyra::app
