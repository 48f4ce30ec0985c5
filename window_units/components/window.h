// The window type: the top-level window that holds the components.
#pragma once

#include "window_units/components/window_block.h"

namespace lyra {

void* WindowInterface(int op);

}  // namespace lyra
