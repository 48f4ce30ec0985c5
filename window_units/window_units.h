// The window units as the program links them: the WindowLayer table that
// the runtime reaches them through.
#pragma once

#include "runtime/window_layer.h"
#include "window_units/event_dispatch.h"

namespace lyra {

extern const WindowLayer kWindowUnitsLayer;

}  // namespace lyra
